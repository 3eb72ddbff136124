#include "browse/picturelist.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace fichora::picturelist {

Form formOf(std::string_view list)
{
    if (list.empty())
        return Form::Empty;
    return list.front() == kSeparator ? Form::Slots : Form::Single;
}

Names read(std::string_view list)
{
    Names names;
    switch (formOf(list)) {
    case Form::Empty:
        break;
    case Form::Single:
        names[0] = std::string(list);
        break;
    case Form::Slots: {
        std::size_t at = 1;
        for (int slot = 0; slot < kSlotCount && at <= list.size(); ++slot) {
            // The last slot takes the rest of the value: a bar in it belongs to its name.
            const std::size_t end =
                slot == kSlotCount - 1 ? list.size() : std::min(list.find(kSeparator, at), list.size());
            const std::string_view name = list.substr(at, end - at);
            // A lone character is what an emptied grid cell may leave behind; it names no file.
            if (name.size() > 1)
                names[static_cast<std::size_t>(slot)] = std::string(name);
            at = end + 1;
        }
        break;
    }
    }
    return names;
}

int otherFilesCount(std::string_view list)
{
    const Names names = read(list);
    return static_cast<int>(std::count_if(names.begin(), names.end(), [](const std::string& n) { return !n.empty(); }));
}

std::string write(const Names& names)
{
    if (std::all_of(names.begin(), names.end(), [](const std::string& n) { return n.empty(); }))
        return {};
    std::string list;
    for (const std::string& name : names) {
        list += kSeparator;
        list += name;
    }
    return list;
}

PictureType pictureType(const QString& fileName)
{
    const QString lower = fileName.toLower();
    if (lower.endsWith(QLatin1String(".jpeg")))
        return PictureType::Jpeg;
    // The type is the last three characters, whether or not a dot comes before them.
    const QString type = lower.right(3);
    if (type == QLatin1String("bmp"))
        return PictureType::Bitmap;
    if (type == QLatin1String("jpg"))
        return PictureType::Jpeg;
    if (type == QLatin1String("png"))
        return PictureType::Png;
    if (type == QLatin1String("gif"))
        return PictureType::Gif;
    return PictureType::None;
}

namespace {

Display standIn(const char* name, PictureType type, const QString& programDirectory)
{
    Display display;
    display.kind = Display::Kind::DefaultPicture;
    display.beep = true;
    const QString path = QDir(programDirectory).filePath(QLatin1String(name));
    if (QFileInfo(path).isFile()) {
        display.file = path;
        display.type = type;
    }
    return display;
}

} // namespace

Display displayRule(const QString& fileName, const QString& programDirectory)
{
    if (fileName.isEmpty())
        return {};
    const PictureType type = pictureType(fileName);
    if (type == PictureType::None)
        return standIn(kNotAPicture, PictureType::Bitmap, programDirectory);
    if (QFileInfo(fileName).isFile())
        return {Display::Kind::Picture, fileName, type, false, true};
    if (type == PictureType::Jpeg)
        return standIn(kMissingJpeg, PictureType::Jpeg, programDirectory);
    return standIn(kMissingBitmap, PictureType::Bitmap, programDirectory);
}

FileFacts inspect(const QString& fileName)
{
    FileFacts facts;
    const QFileInfo info(fileName);
    facts.exists = !fileName.isEmpty() && info.exists();
    facts.folder = facts.exists && info.isDir();
    facts.readable = facts.exists && info.isReadable();
    // The folder is the name up to its last separator, either kind, since stored names may come from
    // another system; a bare name lies in the current folder, which is there.
    const qsizetype cut = std::max(fileName.lastIndexOf(QLatin1Char('/')), fileName.lastIndexOf(QLatin1Char('\\')));
    facts.parentExists = cut < 0 || QFileInfo(fileName.left(cut + 1)).isDir();
    return facts;
}

std::optional<int> openResult(const FileFacts& facts, bool shellOpened)
{
    if (shellOpened)
        return std::nullopt;
    if (!facts.exists)
        return facts.parentExists ? 2 : 3;
    if (facts.folder)
        return kOtherFailure;
    if (!facts.readable)
        return 5;
    return 31;
}

std::optional<int> openResult(const QString& fileName, bool shellOpened)
{
    return openResult(inspect(fileName), shellOpened);
}

std::optional<Msg> openResultMessage(int result)
{
    if (result > kShellFailureLimit)
        return std::nullopt;
    switch (result) {
    case 0:
        return Msg::ShellOutOfResources;
    case 2:
        return Msg::ShellFileNotFound;
    case 3:
        return Msg::ShellPathNotFound;
    case 5:
        return Msg::ShellAccessDenied;
    case 8:
        return Msg::ShellOutOfMemory;
    case 11:
        return Msg::ShellInvalidFile;
    case 26:
        return Msg::ShellSharingViolation;
    case 27:
        return Msg::ShellBadAssociation;
    case 28:
        return Msg::ShellExchangeTimeout;
    case 29:
        return Msg::ShellExchangeFailed;
    case 30:
        return Msg::ShellExchangeBusy;
    case 31:
        return Msg::ShellNoAssociation;
    case 32:
        return Msg::ShellLibraryMissing;
    default:
        return Msg::ShellOtherFailure;
    }
}

QString openResultText(int result, const QString& fileName, char language)
{
    const auto id = openResultMessage(result);
    if (!id)
        return {};
    const QString text = message(*id, language);
    // Not every text names the file, and arg() complains about a missing place marker.
    return text.contains(QLatin1String("%1")) ? text.arg(fileName) : text;
}

} // namespace fichora::picturelist
