#include "exchange/textexport.h"

#include "app/messages.h"
#include "app/session.h"
#include "db/parameterfile.h"
#include "platform/bytefile.h"
#include "platform/cp1252.h"
#include "platform/datapacket.h"
#include "platform/services.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace fichora::textexport {

namespace {

// References are decoded here with the data files' byte meaning (a reference below 256 is that byte),
// and raw line breaks inside values are kept, as the record table reads them.
constexpr unsigned kParseOptions = (pugi::parse_default | pugi::parse_declaration) &
                                   ~(pugi::parse_escapes | pugi::parse_eol | pugi::parse_wconv_attribute);

constexpr std::size_t kFlushBytes = 1 << 20;

void putCodePoint(std::string& out, std::uint32_t cp)
{
    if (cp < 256) {
        out += static_cast<char>(cp);
        return;
    }
    const int byte = cp1252::byteOf(static_cast<char32_t>(cp));
    out += byte < 0 ? '?' : static_cast<char>(byte);
}

/// Appends the decoded attribute text; a packet declared UTF-8 has its raw characters converted too.
void appendDecoded(std::string& out, std::string_view raw, bool utf8)
{
    if (!utf8 && raw.find('&') == std::string_view::npos) {
        out += raw;
        return;
    }
    for (std::size_t i = 0; i < raw.size();) {
        const auto c = static_cast<unsigned char>(raw[i]);
        if (c == '&') {
            const std::size_t semi = raw.substr(i, 12).find(';');
            if (semi != std::string_view::npos) {
                if (const auto reference = xmlReference(raw.substr(i + 1, semi - 1))) {
                    putCodePoint(out, *reference);
                    i += semi + 1;
                    continue;
                }
            }
        } else if (utf8 && c >= 0xC2 && c <= 0xF4) {
            const std::size_t length = c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
            std::uint32_t cp = c & (length == 2 ? 0x1Fu : length == 3 ? 0x0Fu : 0x07u);
            bool valid = i + length <= raw.size();
            for (std::size_t k = 1; valid && k < length; ++k) {
                const auto next = static_cast<unsigned char>(raw[i + k]);
                valid = (next & 0xC0u) == 0x80u;
                cp = (cp << 6) | (next & 0x3Fu);
            }
            if (valid) {
                putCodePoint(out, cp);
                i += length;
                continue;
            }
        }
        out += static_cast<char>(c);
        ++i;
    }
}

bool declaresUtf8(const pugi::xml_document& document)
{
    for (pugi::xml_node node = document.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_declaration) {
            std::string encoding = node.attribute("encoding").value();
            std::transform(encoding.begin(), encoding.end(), encoding.begin(),
                           [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
            return encoding == "utf-8" || encoding == "utf8";
        }
    }
    return false;
}

QString text(const Session& session, Msg id)
{
    return message(id, session.language);
}

} // namespace

QString outputPathFor(const QString& dataFile)
{
    return dataFile.chopped(std::min<qsizetype>(3, dataFile.size())) + QStringLiteral("txt");
}

Fields exportedFields(const Session& session)
{
    Fields exported{};
    for (int n = 1; n <= kFieldCount; ++n) {
        const FieldShape& field = session.fields[static_cast<std::size_t>(n - 1)];
        const bool alwaysShown = n == 1 || n == 2 || n == 23;
        exported[static_cast<std::size_t>(n - 1)] = field.exportTick && (alwaysShown || field.inUse);
    }
    return exported;
}

QByteArray headerLine(const std::array<QByteArray, kFieldCount>& labels, const Fields& ticked)
{
    QByteArray header;
    for (int n = 1; n <= kFieldCount; ++n) {
        if (ticked[static_cast<std::size_t>(n - 1)])
            header += labels[static_cast<std::size_t>(n - 1)];
        if (n < kFieldCount)
            header += '|';
    }
    header = header.left(kHeaderSize - 2);
    header.append(kHeaderSize - 2 - header.size(), '\0');
    header += "\r\n";
    return header;
}

Result<std::array<QByteArray, kFieldCount>> readLabels(const QString& parameterFile, const Fields& ticked)
{
    auto file = ByteFile::open(parameterFile, ByteFile::Mode::Read);
    if (!file)
        return std::unexpected(file.error());
    std::array<QByteArray, kFieldCount> labels;
    for (int n = 1; n <= kFieldCount; ++n) {
        const QByteArray stored = file->readAt(parameterfile::labelOffset(n), parameterfile::kLabelLength);
        if (n == 1 && stored.isEmpty())
            return fail(Error::Code::Format, messages::exportLabelReadFailure(parameterFile));
        if (ticked[static_cast<std::size_t>(n - 1)])
            labels[static_cast<std::size_t>(n - 1)] = parameterfile::labelFromBytes(stored);
    }
    return labels;
}

Result<Written> writeRecords(QIODevice& packet, QIODevice& out, const Fields& exported, const AfterLine& afterLine)
{
    QByteArray bytes = packet.readAll();
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_buffer_inplace(
        bytes.data(), static_cast<std::size_t>(bytes.size()), kParseOptions, pugi::encoding_utf8);
    if (!parsed)
        return fail(Error::Code::Format,
                    QStringLiteral("malformed XML at offset %1 (%2)")
                        .arg(parsed.offset)
                        .arg(QString::fromLatin1(parsed.description())),
                    static_cast<qint64>(parsed.offset));
    const bool utf8 = declaresUtf8(document);
    const pugi::xml_node rowData = document.document_element().child("ROWDATA");
    if (!rowData)
        return fail(Error::Code::Format, QStringLiteral("no ROWDATA element"));

    qint64 total = 0;
    for (pugi::xml_node row = rowData.first_child(); row; row = row.next_sibling())
        total += row.type() == pugi::node_element ? 1 : 0;

    std::string line;
    line.reserve(kFlushBytes + 64 * 1024);
    const auto flush = [&]() -> bool {
        const auto size = static_cast<qint64>(line.size());
        const bool ok = size == 0 || out.write(line.data(), size) == size;
        line.clear();
        return ok;
    };
    Written written;
    std::array<std::string_view, kFieldCount> values;
    for (pugi::xml_node row = rowData.first_child(); row; row = row.next_sibling()) {
        if (row.type() != pugi::node_element)
            continue;
        values.fill({});
        // One pass over the attributes: a row holds its fields in order, usually all of them.
        for (pugi::xml_attribute attribute = row.first_attribute(); attribute; attribute = attribute.next_attribute()) {
            const char* name = attribute.name();
            if (name[0] != 'F' || name[1] < '0' || name[1] > '2' || name[2] < '0' || name[2] > '9' || name[3] != '\0')
                continue;
            const int n = (name[1] - '0') * 10 + (name[2] - '0');
            if (n >= 1 && n <= kFieldCount && values[static_cast<std::size_t>(n - 1)].data() == nullptr)
                values[static_cast<std::size_t>(n - 1)] = attribute.value();
        }
        for (int f = 0; f < kFieldCount; ++f) {
            if (exported[static_cast<std::size_t>(f)])
                appendDecoded(line, values[static_cast<std::size_t>(f)], utf8);
            if (f < kFieldCount - 1)
                line += '|';
        }
        line += "\r\n";
        ++written.records;
        if (line.size() >= kFlushBytes && !flush())
            return fail(Error::Code::Io, out.errorString());
        if (afterLine && !afterLine(written.records, total)) {
            written.abandoned = true;
            break;
        }
    }
    if (!flush())
        return fail(Error::Code::Io, out.errorString());
    return written;
}

bool exportText(Session& session, Services& services, const ProgressLine& progress)
{
    Fields ticked{};
    for (int n = 0; n < kFieldCount; ++n)
        ticked[static_cast<std::size_t>(n)] = session.fields[static_cast<std::size_t>(n)].exportTick;
    if (std::none_of(ticked.begin(), ticked.end(), [](bool t) { return t; })) {
        services.warning(text(session, Msg::TextExportNothingTicked));
        return false;
    }
    session.cancelRequested = true;
    session.searchWaiting = false;
    services.processEvents();

    const QString dataFile = session.loadedDataFile;
    const QString parameterFile = parameterPathFor(dataFile);
    // Without the parameter file the header holds no text at all, not even the bars.
    QByteArray header = QByteArray(kHeaderSize - 2, '\0') + "\r\n";
    if (auto read = readLabels(parameterFile, ticked))
        header = headerLine(*read, ticked);
    else if (read.error().code == Error::Code::Format)
        services.plain(read.error().message);

    if (progress.show)
        progress.show(text(session, Msg::TextExportProgress));
    services.processEvents();
    const auto hide = [&] {
        if (progress.hide)
            progress.hide();
    };

    const QString output = outputPathFor(dataFile);
    if (QFileInfo::exists(output)) {
        if (!services.confirmOkAbort(text(session, Msg::TextExportOverwrite).arg(output))) {
            hide();
            return false;
        }
        (void)removeIfExists(output);
    }
    QFile out(output);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        hide();
        services.error(text(session, Msg::TextExportCannotCreate).arg(output));
        return false;
    }
    QFile packet(dataFile);
    if (!packet.open(QIODevice::ReadOnly)) {
        out.close();
        (void)removeIfExists(output);
        hide();
        services.error(text(session, Msg::TextExportDataUnreadable).arg(dataFile, packet.errorString()));
        return false;
    }
    const bool headerWritten = out.write(header) == header.size();

    session.abandon = false;
    const auto written = writeRecords(packet, out, exportedFields(session), ProgressPacer(progress, services, session));
    packet.close();
    const bool closed = out.flush();
    out.close();
    hide();

    if (!written || written->abandoned) {
        (void)removeIfExists(output);
        session.abandon = false;
        if (!written && written.error().code == Error::Code::Format)
            services.error(text(session, Msg::TextExportDataUnreadable).arg(dataFile, written.error().message));
        else if (!written)
            services.plain(messages::exportWriteFailure(output));
        return false;
    }
    if (!headerWritten || !closed) {
        (void)removeIfExists(output);
        services.plain(messages::exportWriteFailure(output));
        return false;
    }
    services.information(text(session, Msg::TextExportCreated).arg(output, QString::number(written->records)));
    services.processEvents();
    return true;
}

} // namespace fichora::textexport
