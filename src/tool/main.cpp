// fichora-tool: the database operations of the program for scripts (backups, conversions, listings).

#include "app/session.h"
#include "browse/search.h"
#include "db/cipher.h"
#include "db/datafile.h"
#include "db/parameterfile.h"
#include "exchange/textexport.h"
#include "exchange/textimport.h"
#include "platform/bytefile.h"
#include "platform/collation.h"
#include "platform/cp1252.h"
#include "platform/filterexpression.h"
#include "platform/recordtable.h"
#include "tool/toolservices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <optional>

using namespace fichora;

namespace {

constexpr int kFailure = 1;
constexpr int kUsage = 2;

const char kHelp[] = R"(Usage: fichora-tool COMMAND ARGUMENTS

  info DB [--key KEY]              labels, types, widths, export ticks and records of a database,
                                   and a check that its two files agree
  export-text DB [--fields 1,2,5|--all] [--overwrite] [--key KEY]
                                   writes the delimited text file beside the database
  import-text FILE.txt DIR         makes a new database in DIR from a delimited text file
  list DB [--filter EXPR] [--sort F05;F01] [--search TEXT] [--key KEY]
                                   prints the records, one line each, and their count on standard error
  cipher DB                        ciphers the data file into the ciphered file (key on standard input)
  decipher DB                      deciphers the ciphered file into the data file (key on standard input)

DB is the database's ".xml" or ".cip" file. A ciphered database takes its key from --key or from the
first line of standard input. Exit status: 0 on success, 1 on failure, 2 on wrong usage.
)";

QTextStream& err()
{
    static QTextStream stream(stderr);
    return stream;
}

int failWith(const QString& text, int status = kFailure)
{
    err() << "fichora-tool: " << text << Qt::endl;
    return status;
}

struct Arguments
{
    QStringList positional;
    QHash<QString, QString> options;
    QStringList flags;

    std::optional<QString> option(const QString& name) const
    {
        const auto it = options.find(name);
        return it == options.end() ? std::nullopt : std::optional<QString>(*it);
    }
};

std::optional<Arguments> parse(const QStringList& raw, const QStringList& valued, QString& problem)
{
    Arguments parsed;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QString& a = raw[i];
        if (valued.contains(a)) {
            if (i + 1 >= raw.size()) {
                problem = QStringLiteral("%1 needs a value").arg(a);
                return std::nullopt;
            }
            parsed.options.insert(a, raw[++i]);
        } else if (a.startsWith(QLatin1String("--"))) {
            parsed.flags.append(a);
        } else {
            parsed.positional.append(a);
        }
    }
    return parsed;
}

QByteArray readKey(const Arguments& args)
{
    if (const auto key = args.option(QStringLiteral("--key")))
        return cp1252::fromUnicode(*key);
    QTextStream in(stdin);
    return cp1252::fromUnicode(in.readLine().trimmed());
}

bool isCiphered(const QString& path)
{
    return path.endsWith(QLatin1String(".cip"), Qt::CaseInsensitive);
}

/// The plain data file of a database given by either file: a ciphered one is deciphered into `scratch`.
Result<QString> plainDataFile(const QString& db, const Arguments& args, QTemporaryDir& scratch)
{
    if (!QFileInfo::exists(db))
        return fail(Error::Code::NotFound, QStringLiteral("no such file: %1").arg(db));
    if (!isCiphered(db))
        return db;
    const QString copy = scratch.filePath(QFileInfo(db).completeBaseName() + QStringLiteral(".xml"));
    if (auto done = cipher::decipherFile(db, copy, readKey(args)); !done)
        return std::unexpected(done.error());
    return copy;
}

QString fieldName(int n)
{
    return QStringLiteral("F%1").arg(n, 2, 10, QLatin1Char('0'));
}

/// The record line of the export's format, in the terminal's encoding.
QString recordLine(const RecordTable& table, RowId row)
{
    QString line;
    for (int f = 0; f < 23; ++f) {
        if (f > 0)
            line += QLatin1Char('|');
        line += cp1252::toUnicode(table.textAt(row, f));
    }
    return line;
}

int info(const Arguments& args)
{
    if (args.positional.size() != 1)
        return failWith(QStringLiteral("info needs one database"), kUsage);
    const QString db = args.positional[0];
    const QString par = parameterPathFor(db);
    QTemporaryDir scratch;
    const auto data = plainDataFile(db, args, scratch);
    if (!data)
        return failWith(data.error().message);
    if (!QFileInfo::exists(par))
        return failWith(QStringLiteral("no parameter file %1").arg(par));
    RecordTable table;
    if (auto loaded = table.loadFromFile(*data); !loaded)
        return failWith(loaded.error().message);

    QTextStream out(stdout);
    QStringList problems;
    for (int n = 1; n <= 23; ++n) {
        namespace pf = parameterfile;
        const QByteArray label = pf::readLabel(par, n).value_or(QByteArray());
        const bool number =
            n <= 22 && n != 1 && pf::readFieldType(par, n).value_or(pf::FieldType::Text) == pf::FieldType::Number;
        const qint32 width = pf::readWidth(par, n).value_or(0);
        const bool ticked = pf::readExport(par, n).value_or(false);
        const int index = table.fieldIndex(fieldName(n).toStdString());
        const bool dataNumber = index >= 0 && table.fields()[static_cast<std::size_t>(index)].isNumber;
        if (index < 0)
            problems.append(QStringLiteral("the data file has no field %1").arg(fieldName(n)));
        else if (n <= 22 && dataNumber != number)
            problems.append(QStringLiteral("field %1 is %2 in the parameter file but %3 in the data file")
                                .arg(fieldName(n), number ? QStringLiteral("a number") : QStringLiteral("text"),
                                     dataNumber ? QStringLiteral("a number") : QStringLiteral("text")));
        out << fieldName(n) << '\t' << (number ? "number" : "text") << '\t' << width << '\t'
            << (ticked ? "export" : "-") << '\t' << cp1252::toUnicode(label) << Qt::endl;
    }
    out << "records\t" << table.recordCount() << Qt::endl;
    if (const auto marker = parameterfile::readReadOnly(par); marker && *marker)
        out << "protected" << Qt::endl;
    if (const auto c = parameterfile::readCipher(par); c && *c)
        out << "ciphered at save" << Qt::endl;

    QFile file(*data);
    if (file.open(QIODevice::ReadOnly)) {
        const qint64 size = file.size();
        file.seek(size - datafile::kPacketEndLength);
        if (file.read(datafile::kPacketEndLength) != QByteArray(datafile::kPacketEnd))
            problems.append(QStringLiteral("the data file does not end with </ROWDATA></DATAPACKET>"));
    }
    if (!datafile::findRowData(*data))
        problems.append(QStringLiteral("the data file has no <ROWDATA> between offsets 600 and 9990"));
    for (const QString& problem : problems)
        err() << "inconsistent: " << problem << Qt::endl;
    return problems.isEmpty() ? 0 : kFailure;
}

int exportText(const Arguments& args)
{
    if (args.positional.size() != 1)
        return failWith(QStringLiteral("export-text needs one database"), kUsage);
    const QString db = args.positional[0];
    QString dataFile = db;
    bool removeCopy = false;
    if (isCiphered(db)) {
        dataFile = dataPathFor(db);
        if (QFileInfo::exists(dataFile))
            return failWith(QStringLiteral("%1 exists already: the database seems open").arg(dataFile));
        if (auto done = cipher::decipherFile(db, dataFile, readKey(args)); !done)
            return failWith(done.error().message);
        removeCopy = true;
    } else if (!QFileInfo::exists(db)) {
        return failWith(QStringLiteral("no such file: %1").arg(db));
    }
    const QString par = parameterPathFor(db);

    Session session;
    session.language = 'E';
    session.open = true;
    session.loadedDataFile = dataFile;
    session.parameterFile = par;
    std::optional<QList<int>> chosen;
    if (args.flags.contains(QStringLiteral("--all"))) {
        chosen = QList<int>();
        for (int n = 1; n <= 23; ++n)
            chosen->append(n);
    } else if (const auto fields = args.option(QStringLiteral("--fields"))) {
        chosen = QList<int>();
        for (const QString& piece : fields->split(QLatin1Char(','), Qt::SkipEmptyParts)) {
            bool ok = false;
            const int n = piece.trimmed().toInt(&ok);
            if (!ok || n < 1 || n > 23)
                return failWith(QStringLiteral("not a field number: %1").arg(piece), kUsage);
            chosen->append(n);
        }
    }
    for (int n = 1; n <= 23; ++n) {
        FieldShape& field = session.fields[static_cast<std::size_t>(n - 1)];
        field.label = parameterfile::readLabel(par, n).value_or(QByteArray());
        field.inUse = n <= 2 || n == 23 || !field.label.isEmpty();
        field.exportTick = chosen ? chosen->contains(n) : parameterfile::readExport(par, n).value_or(false);
    }
    tool::ToolServices services(args.flags.contains(QStringLiteral("--overwrite")));
    const bool done = textexport::exportText(session, services);
    if (removeCopy)
        (void)removeIfExists(dataFile);
    return done ? 0 : kFailure;
}

int importText(const Arguments& args)
{
    if (args.positional.size() != 2)
        return failWith(QStringLiteral("import-text needs a text file and a folder"), kUsage);
    const QString target = QDir(args.positional[1]).absolutePath() + QStringLiteral("/");
    if (!QFileInfo(target).isDir())
        return failWith(QStringLiteral("no such folder: %1").arg(args.positional[1]));
    Session session;
    session.language = 'E';
    session.programDirectory = QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../") +
                                               QStringLiteral(FICHORA_SHARE_SUBDIR)) +
                               QStringLiteral("/");
    tool::ToolServices services;
    return textimport::importFile(session, services, args.positional[0], target) ? 0 : kFailure;
}

int list(const Arguments& args)
{
    if (args.positional.size() != 1)
        return failWith(QStringLiteral("list needs one database"), kUsage);
    QTemporaryDir scratch;
    const auto data = plainDataFile(args.positional[0], args, scratch);
    if (!data)
        return failWith(data.error().message);
    RecordTable table;
    if (auto loaded = table.loadFromFile(*data); !loaded)
        return failWith(loaded.error().message);
    installFilterLanguage(table);
    installFrenchOrder(table);
    if (const auto sort = args.option(QStringLiteral("--sort"))) {
        if (auto sorted = table.setIndexFieldNames(cp1252::fromUnicode(*sort).toStdString()); !sorted)
            return failWith(sorted.error().message, kUsage);
    }
    if (const auto filter = args.option(QStringLiteral("--filter"))) {
        if (auto set = table.setFilter(cp1252::fromUnicode(*filter).toStdString()); !set)
            return failWith(set.error().message, kUsage);
        if (auto on = table.setFiltered(true); !on)
            return failWith(on.error().message, kUsage);
    }
    std::optional<RecordTextMatcher> matcher;
    const QByteArray needle = cp1252::fromUnicode(args.option(QStringLiteral("--search")).value_or(QString()));
    if (!needle.isEmpty())
        matcher.emplace(table, std::string_view(needle.constData(), static_cast<std::size_t>(needle.size())));
    QTextStream out(stdout);
    int shown = 0;
    for (int i = 0; i < table.recordCount(); ++i) {
        const RowId row = table.rowAt(i);
        if (matcher && !matcher->matches(row))
            continue;
        out << recordLine(table, row) << "\r\n";
        ++shown;
    }
    out.flush();
    err() << shown << Qt::endl;
    return 0;
}

int cipherCommand(const Arguments& args, bool ciphering)
{
    if (args.positional.size() != 1)
        return failWith(QStringLiteral("%1 needs one database")
                            .arg(ciphering ? QStringLiteral("cipher") : QStringLiteral("decipher")),
                        kUsage);
    const QString data = dataPathFor(args.positional[0]);
    const QString ciphered = cipheredPathFor(args.positional[0]);
    const QByteArray key = readKey(args);
    if (ciphering) {
        if (!cipher::checkKey(key).acceptable())
            return failWith(
                QStringLiteral("the key must hold 2 to 6 characters with at least one digit and one letter"));
        if (auto done = cipher::cipherFile(data, ciphered, key); !done)
            return failWith(done.error().message);
        // As a save with ciphering leaves it: the parameter file asks for ciphering, no plain file stays.
        (void)parameterfile::writeCipher(parameterPathFor(data), true);
        for (const QString& plain : {data, data + QStringLiteral(".bak"), data + QStringLiteral(".bak2")})
            if (auto removed = removeIfExists(plain); !removed)
                return failWith(removed.error().message);
        return 0;
    }
    if (QFileInfo::exists(data))
        return failWith(QStringLiteral("%1 exists already").arg(data));
    if (auto done = cipher::decipherFile(ciphered, data, key); !done)
        return failWith(done.error().message);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("fichora-tool"));
    QStringList raw = QCoreApplication::arguments().mid(1);
    if (raw.isEmpty() || raw.contains(QStringLiteral("--help")) || raw.contains(QStringLiteral("-h"))) {
        QTextStream(raw.isEmpty() ? stderr : stdout) << kHelp;
        return raw.isEmpty() ? kUsage : 0;
    }
    const QString command = raw.takeFirst();
    QString problem;
    const auto args = parse(raw,
                            {QStringLiteral("--key"), QStringLiteral("--fields"), QStringLiteral("--filter"),
                             QStringLiteral("--sort"), QStringLiteral("--search")},
                            problem);
    if (!args)
        return failWith(problem, kUsage);
    if (command == QLatin1String("info"))
        return info(*args);
    if (command == QLatin1String("export-text"))
        return exportText(*args);
    if (command == QLatin1String("import-text"))
        return importText(*args);
    if (command == QLatin1String("list"))
        return list(*args);
    if (command == QLatin1String("cipher"))
        return cipherCommand(*args, true);
    if (command == QLatin1String("decipher"))
        return cipherCommand(*args, false);
    return failWith(QStringLiteral("unknown command %1 (see --help)").arg(command), kUsage);
}
