#include "platform/datapacket.h"

#include "platform/cp1252.h"
#include "platform/numbertext.h"
#include "platform/recordtable.h"

#include <QFile>
#include <QSaveFile>

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

namespace fichora {

namespace {

// Escapes, whitespace and end-of-line handling stay off: values keep their raw line breaks, and the
// references are decoded by decodeValue() with this program's byte semantics instead of pugixml's
// UTF-8 ones. Values then stay in place in the file buffer and need no copy.
constexpr unsigned kParseOptions =
    pugi::parse_default & ~(pugi::parse_escapes | pugi::parse_eol | pugi::parse_wconv_attribute);

// Rows are parsed in slices of about this many bytes, so that the DOM of a large packet never exists
// whole: it would take three times the file size.
constexpr std::size_t kSliceBytes = 1 << 20;

// Offsets into the arena are 31 bits (see TableStore).
constexpr std::size_t kMaxPacketBytes = 0x7FFFFFFFu;

std::unexpected<Error> formatError(const QString& what, qint64 position = -1)
{
    return fail(Error::Code::Format, QStringLiteral("Not a data packet: %1").arg(what), position);
}

std::unexpected<Error> xmlError(const pugi::xml_parse_result& result, qint64 position)
{
    return formatError(
        QStringLiteral("malformed XML at offset %1 (%2)").arg(position).arg(QString::fromLatin1(result.description())),
        position);
}

void putCodePoint(char*& out, std::uint32_t cp)
{
    if (cp < 256) {
        *out++ = static_cast<char>(cp);
        return;
    }
    const int byte = cp1252::byteOf(static_cast<char32_t>(cp));
    *out++ = byte < 0 ? '?' : static_cast<char>(byte);
}

// Length of the UTF-8 sequence starting at `in` and its code point; 0 when the bytes are not valid
// UTF-8 (the byte is then taken as it stands).
std::size_t readUtf8(const unsigned char* in, const unsigned char* end, std::uint32_t& cp)
{
    const unsigned char lead = in[0];
    std::size_t length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07u;
    } else {
        return 0;
    }
    if (static_cast<std::size_t>(end - in) < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((in[i] & 0xC0u) != 0x80u)
            return 0;
        cp = (cp << 6) | (in[i] & 0x3Fu);
    }
    return length;
}

// Decodes a zero-terminated attribute value in place (the result is never longer) and returns its
// length. Raw bytes are Windows-1252, or UTF-8 in a packet that declares it.
std::size_t decodeValue(char* value, bool utf8)
{
    const std::size_t length = std::strlen(value);
    const char* amp = static_cast<const char*>(std::memchr(value, '&', length));
    if (!amp) {
        if (!utf8)
            return length;
        if (std::none_of(value, value + length, [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
            return length;
    }
    const char* in = value;
    const char* const end = value + length;
    char* out = value;
    while (in < end) {
        const auto c = static_cast<unsigned char>(*in);
        std::uint32_t cp = 0;
        if (c == '&') {
            const std::size_t window = std::min<std::size_t>(static_cast<std::size_t>(end - in), 12);
            const char* semi = static_cast<const char*>(std::memchr(in, ';', window));
            if (const auto reference =
                    semi ? xmlReference(std::string_view(in + 1, static_cast<std::size_t>(semi - in - 1)))
                         : std::nullopt) {
                putCodePoint(out, *reference);
                in = semi + 1;
                continue;
            }
        } else if (utf8 && c >= 0x80) {
            const auto* bytes = reinterpret_cast<const unsigned char*>(in);
            if (const std::size_t n = readUtf8(bytes, reinterpret_cast<const unsigned char*>(end), cp); n > 0) {
                putCodePoint(out, cp);
                in += n;
                continue;
            }
        }
        *out++ = *in++;
    }
    return static_cast<std::size_t>(out - value);
}

bool isNameEnd(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '/' || c == '>';
}

// Where a start tag named `name` begins at or after `from`, or npos. '<' cannot occur inside an
// attribute value, so every '<' is markup.
std::size_t findTag(std::string_view text, std::string_view name, std::size_t from)
{
    while (true) {
        const std::size_t at = text.find(name, from);
        if (at == std::string_view::npos || at + name.size() >= text.size())
            return std::string_view::npos;
        if (isNameEnd(text[at + name.size()]))
            return at;
        from = at + 1;
    }
}

// The '>' that ends the tag opened at `open`, stepping over quoted values (they may hold '>').
std::size_t tagEnd(std::string_view text, std::size_t open)
{
    char quote = 0;
    for (std::size_t i = open; i < text.size(); ++i) {
        const char c = text[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i;
        }
    }
    return std::string_view::npos;
}

/// Everything one load needs while it turns DOM rows into table rows.
class Loader
{
public:
    Loader(TableStore& store, bool utf8) : m_store(store), m_utf8(utf8)
    {
        for (const auto& field : store.fields())
            m_names.push_back(field.name);
    }

    Result<void> addRows(const pugi::xml_node& parent)
    {
        const char* base = m_store.loadedBytes().data();
        const int fieldCount = m_store.fieldCount();
        for (pugi::xml_node node = parent.first_child(); node; node = node.next_sibling()) {
            if (node.type() != pugi::node_element || std::strcmp(node.name(), "ROW") != 0)
                continue;
            const RowId row = m_store.addRow();
            m_store.order().push_back(row);
            int expected = 0;
            for (pugi::xml_attribute attribute = node.first_attribute(); attribute;
                 attribute = attribute.next_attribute()) {
                const char* name = attribute.name();
                int field = -1;
                if (expected < fieldCount && m_names[static_cast<std::size_t>(expected)] == name)
                    field = expected;
                else
                    field = fieldOf(name);
                char* value = const_cast<char*>(attribute.value());
                if (field < 0) {
                    if (std::strcmp(name, "RowState") == 0)
                        noteRowState(row, value);
                    continue;
                }
                expected = field + 1;
                const std::size_t length = decodeValue(value, m_utf8);
                const auto offset = static_cast<std::size_t>(value - base);
                if (m_store.fields()[static_cast<std::size_t>(field)].isNumber) {
                    const auto number = numbertext::parse(std::string_view(value, length));
                    if (!number)
                        return formatError(QStringLiteral("the value at offset %1 of number field %2 is not a number")
                                               .arg(offset)
                                               .arg(QString::fromLatin1(name)),
                                           static_cast<qint64>(offset));
                    m_store.setNumber(row, field, *number);
                } else {
                    m_store.setLoadedText(row, field, offset, length);
                }
            }
        }
        return {};
    }

    // A packet saved with a pending change log holds every version of a changed record. It loads as
    // the records as they stand now:
    // - each CHANGE_LOG triple "row base action" (1-based ROW positions) with a base makes that row the
    //   newer version of the base row; following the bases leads to the record's original row, whose
    //   place in the order the newest version takes (a row that no other row is based on is the tip);
    // - a newer version holds only the fields that changed, so a field absent from it keeps the value
    //   of the version before;
    // - a record whose versions carry the deleted bit (2) in RowState or in an action is left out;
    // - rows that no triple mentions (RowState 1, 4, 8 or none) load as they are.
    void applyChangeLog(std::string_view changeLog)
    {
        const std::size_t rows = m_store.order().size();
        if (changeLog.empty() && m_rowStates.empty())
            return;
        m_rowStates.resize(rows, 0);
        std::vector<long long> numbers;
        for (std::size_t i = 0; i < changeLog.size();) {
            while (i < changeLog.size() && (changeLog[i] < '0' || changeLog[i] > '9'))
                ++i;
            if (i >= changeLog.size())
                break;
            long long n = 0;
            while (i < changeLog.size() && changeLog[i] >= '0' && changeLog[i] <= '9')
                n = std::min(n * 10 + (changeLog[i++] - '0'), 1LL << 40);
            numbers.push_back(n);
        }
        constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
        std::vector<std::size_t> base(rows, kNone);
        std::vector<char> hasNewer(rows, 0);
        std::vector<char> deleted(rows, 0);
        for (std::size_t t = 0; t + 2 < numbers.size(); t += 3) {
            const auto row = static_cast<std::size_t>(numbers[t] - 1);
            const auto from = static_cast<std::size_t>(numbers[t + 1] - 1);
            if (numbers[t] < 1 || row >= rows)
                continue;
            if (numbers[t + 1] >= 1 && from < rows && from != row) {
                base[row] = from;
                hasNewer[from] = 1;
            }
            if (numbers[t + 2] & 2)
                deleted[row] = 1;
        }
        const auto rootOf = [&](std::size_t row) {
            for (std::size_t steps = 0; base[row] != kNone && steps < rows; ++steps)
                row = base[row];
            return row;
        };
        std::vector<std::size_t> shownAs(rows, kNone);
        std::vector<char> dropped(rows, 0);
        std::vector<std::size_t> chain;
        for (std::size_t row = 0; row < rows; ++row) {
            if ((m_rowStates[row] & 2) || deleted[row])
                dropped[rootOf(row)] = 1;
            if (base[row] == kNone || hasNewer[row])
                continue;
            chain.clear();
            for (std::size_t at = row; chain.size() <= rows; at = base[at]) {
                chain.push_back(at);
                if (base[at] == kNone)
                    break;
            }
            for (std::size_t k = chain.size() - 1; k > 0; --k) {
                const auto older = static_cast<RowId>(chain[k]);
                const auto newer = static_cast<RowId>(chain[k - 1]);
                for (int f = 0; f < m_store.fieldCount(); ++f) {
                    if (m_store.isNull(newer, f))
                        m_store.copyCell(older, newer, f);
                }
            }
            shownAs[chain.back()] = row;
        }
        auto& order = m_store.order();
        order.clear();
        for (std::size_t row = 0; row < rows; ++row) {
            if (base[row] != kNone || dropped[row])
                continue;
            order.push_back(static_cast<RowId>(shownAs[row] == kNone ? row : shownAs[row]));
        }
    }

private:
    int fieldOf(const char* name) const
    {
        for (std::size_t i = 0; i < m_names.size(); ++i) {
            if (m_names[i] == name)
                return static_cast<int>(i);
        }
        return -1;
    }

    void noteRowState(RowId row, const char* value)
    {
        if (m_rowStates.size() <= row)
            m_rowStates.resize(row + 1, 0);
        m_rowStates[row] = static_cast<unsigned char>(std::atoi(value));
    }

    TableStore& m_store;
    bool m_utf8;
    std::vector<std::string> m_names;
    std::vector<unsigned char> m_rowStates;
};

// The field descriptions, checked for the structure of a packet.
Result<std::vector<FieldDef>> readFields(const pugi::xml_node& packet, bool utf8)
{
    const pugi::xml_node fieldList = packet.child("METADATA").child("FIELDS");
    if (!fieldList)
        return formatError(QStringLiteral("no METADATA/FIELDS element"));
    std::vector<FieldDef> fields;
    for (pugi::xml_node node = fieldList.child("FIELD"); node; node = node.next_sibling("FIELD")) {
        pugi::xml_attribute name = node.attribute("attrname");
        if (!name)
            return formatError(QStringLiteral("field %1 has no attrname").arg(fields.size() + 1));
        char* text = const_cast<char*>(name.value());
        FieldDef field;
        field.name.assign(text, decodeValue(text, utf8));
        field.isNumber = std::strcmp(node.attribute("fieldtype").value(), "r8") == 0;
        field.width = node.attribute("WIDTH").as_int(0);
        fields.push_back(std::move(field));
    }
    if (fields.empty())
        return formatError(QStringLiteral("no FIELD descriptions"));
    return fields;
}

bool declaresUtf8(const pugi::xml_document& document)
{
    for (pugi::xml_node node = document.first_child(); node; node = node.next_sibling()) {
        if (node.type() == pugi::node_declaration) {
            std::string encoding = node.attribute("encoding").value();
            std::transform(encoding.begin(), encoding.end(), encoding.begin(),
                           [](char c) { return static_cast<char>(cp1252::toLower(static_cast<unsigned char>(c))); });
            return encoding == "utf-8" || encoding == "utf8";
        }
    }
    return false;
}

} // namespace

Result<void> parseDataPacket(std::string bytes, TableStore& store)
{
    store.reset({});
    if (bytes.size() > kMaxPacketBytes)
        return fail(Error::Code::Unsupported, QStringLiteral("The data packet is larger than 2 GB"));
    store.loadedBytes() = std::move(bytes);
    std::string& buffer = store.loadedBytes();
    const std::string_view text(buffer);

    // Find the rows; when the layout is unusual, the whole document is parsed at once instead.
    std::size_t rowsBegin = std::string_view::npos;
    std::size_t rowsEnd = std::string_view::npos;
    if (const std::size_t open = findTag(text, "<ROWDATA", 0); open != std::string_view::npos) {
        const std::size_t close = tagEnd(text, open);
        if (close != std::string_view::npos && text[close - 1] != '/') {
            const std::size_t end = text.rfind("</ROWDATA");
            if (end != std::string_view::npos && end > close) {
                rowsBegin = close + 1;
                rowsEnd = end;
            }
        }
    }
    const bool sliced = rowsBegin != std::string_view::npos;

    pugi::xml_document document;
    std::string outline;
    if (sliced) {
        // Everything but the rows: small, parsed from a copy, checks the frame of the packet.
        outline.reserve(rowsBegin + text.size() - rowsEnd);
        outline.append(text.substr(0, rowsBegin)).append(text.substr(rowsEnd));
        const auto parsed = document.load_buffer_inplace(outline.data(), outline.size(),
                                                         kParseOptions | pugi::parse_declaration, pugi::encoding_utf8);
        if (!parsed) {
            const auto at = static_cast<std::size_t>(parsed.offset);
            return xmlError(parsed, static_cast<qint64>(at < rowsBegin ? at : at - rowsBegin + rowsEnd));
        }
    } else {
        const auto parsed = document.load_buffer_inplace(buffer.data(), buffer.size(),
                                                         kParseOptions | pugi::parse_declaration, pugi::encoding_utf8);
        if (!parsed)
            return xmlError(parsed, parsed.offset);
    }

    const pugi::xml_node packet = document.document_element();
    if (std::strcmp(packet.name(), "DATAPACKET") != 0)
        return formatError(QStringLiteral("the root element is not DATAPACKET"));
    const pugi::xml_node rowData = packet.child("ROWDATA");
    if (!rowData)
        return formatError(QStringLiteral("no ROWDATA element"));
    const bool utf8 = declaresUtf8(document);
    auto fields = readFields(packet, utf8);
    if (!fields)
        return std::unexpected(fields.error());
    const std::string changeLog = packet.child("METADATA").child("PARAMS").attribute("CHANGE_LOG").value();
    store.defineFields(std::move(*fields));

    Loader loader(store, utf8);
    if (!sliced) {
        if (auto added = loader.addRows(rowData); !added)
            return added;
    } else {
        // Each slice ends where a ROW start tag begins, so every slice is a well-formed fragment.
        pugi::xml_document slice;
        bool reserved = false;
        for (std::size_t begin = rowsBegin; begin < rowsEnd;) {
            std::size_t end = rowsEnd;
            for (std::size_t at = begin + kSliceBytes; at < rowsEnd; ++at) {
                at = text.find('<', at);
                if (at >= rowsEnd)
                    break;
                if (text.compare(at + 1, 3, "ROW") == 0 && isNameEnd(text[at + 4])) {
                    end = at;
                    break;
                }
            }
            const auto parsed = slice.load_buffer_inplace(buffer.data() + begin, end - begin,
                                                          kParseOptions | pugi::parse_fragment, pugi::encoding_utf8);
            if (!parsed)
                return xmlError(parsed, static_cast<qint64>(begin) + parsed.offset);
            if (auto added = loader.addRows(slice); !added)
                return added;
            if (!reserved) {
                // The first slice tells how long a row is; reserving spares the columns their regrowth.
                reserved = true;
                const double perByte = static_cast<double>(store.storedRows()) / static_cast<double>(end - begin);
                store.reserveRows(static_cast<std::size_t>(perByte * static_cast<double>(rowsEnd - rowsBegin) * 1.05) +
                                  16);
            }
            begin = end;
        }
    }
    loader.applyChangeLog(changeLog);
    return {};
}

Result<void> loadDataPacket(const QString& path, TableStore& store)
{
    store.reset({});
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(Error::Code::Io, QStringLiteral("Cannot open %1: %2").arg(path, file.errorString()));
    const qint64 size = file.size();
    if (size < 0 || static_cast<quint64>(size) > kMaxPacketBytes)
        return fail(Error::Code::Unsupported, QStringLiteral("%1 is larger than 2 GB").arg(path));
    std::string bytes(static_cast<std::size_t>(size), '\0');
    qint64 done = 0;
    while (done < size) {
        const qint64 got = file.read(bytes.data() + done, size - done);
        if (got <= 0)
            return fail(Error::Code::Io, QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
        done += got;
    }
    return parseDataPacket(std::move(bytes), store);
}

std::optional<std::uint32_t> xmlReference(std::string_view name)
{
    if (name.size() >= 2 && name[0] == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty() || digits.size() > 8)
            return std::nullopt;
        std::uint32_t value = 0;
        for (const char c : digits) {
            int d = -1;
            if (c >= '0' && c <= '9')
                d = c - '0';
            else if (hex && c >= 'a' && c <= 'f')
                d = c - 'a' + 10;
            else if (hex && c >= 'A' && c <= 'F')
                d = c - 'A' + 10;
            if (d < 0)
                return std::nullopt;
            value = value * (hex ? 16u : 10u) + static_cast<std::uint32_t>(d);
        }
        return value;
    }
    static constexpr std::pair<std::string_view, char> kNamed[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& [entity, byte] : kNamed)
        if (name == entity)
            return static_cast<unsigned char>(byte);
    return std::nullopt;
}

void appendEscapedValue(std::string& out, std::string_view value, ValueEscaping style)
{
    enum : unsigned char { kSelf, kQuestion, kReference, kEntity };
    using Table = std::array<unsigned char, 256>;
    static constexpr auto makeTable = [](ValueEscaping forStyle) {
        Table table{};
        for (int b = 0; b < 256; ++b) {
            auto& how = table[static_cast<std::size_t>(b)];
            if (b < 32)
                // XML 1.0 has no way to write these control bytes, not even as references: a conforming
                // reader would refuse the whole file.
                how = kQuestion;
            else if (b >= 128)
                // Our reader takes any reference below 256 as that byte, so the typographic characters of
                // 129..160 (œ, ’, “, ”, …, –, the non-breaking space) survive too.
                how = kReference;
            else if (b == '"' || b == '&' || b == '\'' || b == '<' || b == '>')
                how = kEntity;
            else
                how = kSelf;
        }
        if (forStyle == ValueEscaping::SavedPacket) {
            // A conforming reader turns raw line breaks and tabs into spaces, so the saved packet spells them.
            table['\t'] = table['\n'] = table['\r'] = kReference;
        } else {
            // Imported rows keep their line breaks raw (our reader keeps them) and write the backslash as a
            // reference, as the picture lists of F23 always were.
            table['\n'] = table['\r'] = kSelf;
            table['\\'] = kReference;
        }
        return table;
    };
    static constexpr Table kSaved = makeTable(ValueEscaping::SavedPacket);
    static constexpr Table kRows = makeTable(ValueEscaping::RowWriter);
    const Table& table = style == ValueEscaping::SavedPacket ? kSaved : kRows;

    std::size_t i = 0;
    while (i < value.size()) {
        std::size_t run = i;
        while (run < value.size() && table[static_cast<unsigned char>(value[run])] == kSelf)
            ++run;
        out.append(value.data() + i, run - i);
        if (run == value.size())
            break;
        const auto byte = static_cast<unsigned char>(value[run]);
        switch (table[byte]) {
        case kQuestion:
            out += '?';
            break;
        case kEntity:
            switch (byte) {
            case '"':
                out += "&quot;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '\'':
                out += "&apos;";
                break;
            case '<':
                out += "&lt;";
                break;
            default:
                out += "&gt;";
                break;
            }
            break;
        default: {
            const char reference[] = {'&',
                                      '#',
                                      static_cast<char>('0' + byte / 100),
                                      static_cast<char>('0' + byte / 10 % 10),
                                      static_cast<char>('0' + byte % 10),
                                      ';'};
            out.append(reference, sizeof reference);
        }
        }
        i = run + 1;
    }
}

namespace {

// Writes the packet into `out`, handing it to `flush` (which may empty it) whenever it has grown past
// a slice, so that a save never holds a second copy of the whole table.
template <typename Flush> bool writePacket(const TableStore& store, std::string& out, Flush&& flush)
{
    const auto& fields = store.fields();
    out += "<?xml version=\"1.0\" standalone=\"yes\"?>  <DATAPACKET Version=\"2.0\"><METADATA><FIELDS>";
    for (std::size_t f = 0; f < fields.size(); ++f) {
        out += "<FIELD attrname=\"";
        appendEscapedValue(out, fields[f].name);
        if (fields[f].isNumber) {
            out += "\" fieldtype=\"r8\"/>";
        } else {
            // Without a known width, the limits of the entry boxes: 9000 for the long text, else 4000.
            const int width = fields[f].width > 0 ? fields[f].width : (f == 21 ? 9000 : 4000);
            out += "\" fieldtype=\"string\" WIDTH=\"";
            out += std::to_string(width);
            out += "\"/>";
        }
    }
    out += "</FIELDS><PARAMS/></METADATA>";
    // Other code looks for "<ROWDATA>" from offset 600 on.
    if (out.size() < 600)
        out.append(600 - out.size(), ' ');
    out += "<ROWDATA>";
    for (const RowId row : store.order()) {
        out += "<ROW";
        for (int f = 0; f < store.fieldCount(); ++f) {
            if (store.isNull(row, f))
                continue;
            out += ' ';
            out += fields[static_cast<std::size_t>(f)].name;
            out += "=\"";
            if (fields[static_cast<std::size_t>(f)].isNumber)
                numbertext::append(out, store.number(row, f));
            else
                appendEscapedValue(out, store.text(row, f));
            out += '"';
        }
        out += "/>";
        if (out.size() >= kSliceBytes) {
            if (!flush(out))
                return false;
        }
    }
    out += "</ROWDATA></DATAPACKET>";
    return flush(out);
}

} // namespace

std::string writeDataPacket(const TableStore& store)
{
    std::string out;
    writePacket(store, out, [](std::string&) { return true; });
    return out;
}

Result<void> saveDataPacket(const TableStore& store, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(Error::Code::Io, QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    std::string slice;
    slice.reserve(kSliceBytes + 64 * 1024);
    const bool written = writePacket(store, slice, [&file](std::string& bytes) {
        const auto size = static_cast<qint64>(bytes.size());
        const bool ok = file.write(bytes.data(), size) == size;
        bytes.clear();
        if (ok)
            return true;
        file.cancelWriting();
        return false;
    });
    if (!written || !file.commit())
        return fail(Error::Code::Io, QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    return {};
}

} // namespace fichora
