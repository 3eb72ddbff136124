// Times filtering, sorting and the whole-database search of the record table on a generated database,
// each beside the same work done by SQLite on an in-memory table of the same rows, and prints the
// ratios. Usage: bench_browse [records] [file]
#include "generator.h"
#include "silentservices.h"

#include "browse/filterbuilder.h"
#include "browse/search.h"
#include "platform/collation.h"
#include "platform/filterexpression.h"
#include "platform/recordtable.h"
#include "platform/services.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

using namespace fichora;

namespace {

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double threadMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Wall-clock and processor time of one operation, each the best of five runs after one to warm the
// caches. The machine may be shared: processor time shows the work when other processes take turns.
struct Timing
{
    double wall = 1e18;
    double cpu = 1e18;
};

Timing bestOf(const std::function<void()>& work)
{
    work();
    Timing best;
    for (int round = 0; round < 5; ++round) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = threadMilliseconds();
        work();
        best.cpu = std::min(best.cpu, threadMilliseconds() - cpuStart);
        best.wall = std::min(best.wall, millisecondsSince(start));
    }
    return best;
}

using bench::SilentServices;

int frenchCollation(void*, int lengthA, const void* a, int lengthB, const void* b)
{
    return collation::compareFrench(std::string_view(static_cast<const char*>(a), static_cast<std::size_t>(lengthA)),
                                    std::string_view(static_cast<const char*>(b), static_cast<std::size_t>(lengthB)));
}

bool exec(sqlite3* db, const char* sql)
{
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        std::fprintf(stderr, "sqlite: %s\n  in %s\n", message ? message : "?", sql);
        sqlite3_free(message);
        return false;
    }
    return true;
}

// Copies the table's rows into an in-memory SQLite table t(F01..F23), text as text, numbers as reals.
bool fillSqlite(sqlite3* db, const RecordTable& table)
{
    std::string create = "CREATE TABLE t(";
    std::string insert = "INSERT INTO t VALUES(";
    for (int f = 0; f < table.fieldCount(); ++f) {
        const FieldDef& field = table.fields()[static_cast<std::size_t>(f)];
        create += (f ? ", " : "") + field.name + (field.isNumber ? " REAL" : " TEXT");
        insert += f ? ", ?" : "?";
    }
    create += ")";
    insert += ")";
    if (!exec(db, create.c_str()) || !exec(db, "BEGIN"))
        return false;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, insert.c_str(), -1, &statement, nullptr) != SQLITE_OK)
        return false;
    const TableStore& store = table.store();
    for (int i = 0; i < table.recordCount(); ++i) {
        const RowId row = table.rowAt(i);
        for (int f = 0; f < table.fieldCount(); ++f) {
            if (store.isNull(row, f)) {
                sqlite3_bind_null(statement, f + 1);
            } else if (table.fields()[static_cast<std::size_t>(f)].isNumber) {
                sqlite3_bind_double(statement, f + 1, store.number(row, f));
            } else {
                const std::string_view text = store.text(row, f);
                sqlite3_bind_text(statement, f + 1, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
            }
        }
        if (sqlite3_step(statement) != SQLITE_DONE)
            return false;
        sqlite3_reset(statement);
    }
    sqlite3_finalize(statement);
    return exec(db, "COMMIT");
}

// Runs a query and keeps the row ids it returns, as the record table keeps its visible rows.
std::size_t selectRows(sqlite3* db, const std::string& sql)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "sqlite: %s\n  in %s\n", sqlite3_errmsg(db), sql.c_str());
        return 0;
    }
    std::vector<sqlite3_int64> rows;
    rows.reserve(1024);
    while (sqlite3_step(statement) == SQLITE_ROW)
        rows.push_back(sqlite3_column_int64(statement, 0));
    sqlite3_finalize(statement);
    return rows.size();
}

struct Line
{
    const char* name;
    Timing ours;
    Timing sqlite;
    double limit;
    std::size_t oursRows;
    std::size_t sqliteRows;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const std::size_t records = argc > 1 ? std::stoul(argv[1]) : 100000;
    const QString path = argc > 2 ? QString::fromLocal8Bit(argv[2])
                                  : QDir::temp().filePath(QStringLiteral("fichora_bench_browse_%1.xml").arg(records));
    if (auto written = bench::writeDatabase(path, records); !written) {
        std::fprintf(stderr, "generator: %s\n", qPrintable(written.error().message));
        return 1;
    }
    RecordTable table;
    if (auto loaded = table.loadFromFile(path); !loaded) {
        std::fprintf(stderr, "load: %s\n", qPrintable(loaded.error().message));
        return 1;
    }
    installFilterLanguage(table);
    installFrenchOrder(table);

    sqlite3* db = nullptr;
    if (sqlite3_open(":memory:", &db) != SQLITE_OK || !fillSqlite(db, table))
        return 1;
    sqlite3_create_collation(db, "FRENCH", SQLITE_UTF8, nullptr, frenchCollation);

    std::vector<Line> lines;

    // A two-term Standard filter as the window builds it.
    {
        std::array<FilterBox, kFilterBoxCount> boxes{};
        boxes[0] = {"M*", true};
        boxes[2] = {"n\xeemes", true};
        const std::string expression = buildStandardFilter(boxes, FilterComparison::Equals);
        std::size_t count = 0;
        const Timing ours = bestOf([&] {
            (void)table.setFiltered(false);
            (void)table.setFilter(expression);
            if (auto on = table.setFiltered(true); !on)
                std::fprintf(stderr, "filter: %s\n", qPrintable(on.error().message));
            count = static_cast<std::size_t>(table.recordCount());
        });
        std::size_t sqliteCount = 0;
        const Timing lite = bestOf([&] {
            sqliteCount = selectRows(db, "SELECT rowid FROM t WHERE F01 LIKE 'M%' AND F03 = 'n\xeemes' COLLATE NOCASE");
        });
        lines.push_back({"Standard filter, two terms", ours, lite, 50, count, sqliteCount});
        (void)table.setFiltered(false);
        (void)table.setFilter({});
    }

    // The picture filter: its expression and its callback.
    {
        const int pictures = table.fieldIndex("F23");
        table.setFilterCallback(
            [pictures](const RecordTable& t, RowId row) { return t.store().text(row, pictures) > " "; });
        std::size_t count = 0;
        const Timing ours = bestOf([&] {
            (void)table.setFiltered(false);
            (void)table.setFilter("F01>''");
            (void)table.setFiltered(true);
            count = static_cast<std::size_t>(table.recordCount());
        });
        std::size_t sqliteCount = 0;
        const Timing lite =
            bestOf([&] { sqliteCount = selectRows(db, "SELECT rowid FROM t WHERE F01 > '' AND F23 > ' '"); });
        lines.push_back({"picture filter", ours, lite, 50, count, sqliteCount});
        (void)table.setFiltered(false);
        (void)table.setFilter({});
        table.setFilterCallback({});
    }

    // Sorting, as the sort buttons ask for it.
    const auto sortLine = [&](const char* name, const char* list, const char* orderBy, double limit) {
        const Timing ours = bestOf([&] {
            (void)table.setIndexFieldNames("");
            (void)table.setIndexFieldNames(list);
        });
        std::size_t sqliteCount = 0;
        const Timing lite =
            bestOf([&] { sqliteCount = selectRows(db, std::string("SELECT rowid FROM t ORDER BY ") + orderBy); });
        lines.push_back({name, ours, lite, limit, static_cast<std::size_t>(table.recordCount()), sqliteCount});
    };
    sortLine("sort by text F03;F01", "F03;F01", "F03 COLLATE FRENCH, F01 COLLATE FRENCH", 150);
    sortLine("sort by number F05;F01", "F05;F01", "F05, F01 COLLATE FRENCH", 100);
    (void)table.setIndexFieldNames("F01;F02");

    // A whole-database search that finds nothing.
    {
        SilentServices services;
        SearchSession session(table, services);
        bool finished = false;
        const Timing ours =
            bestOf([&] { finished = session.start("introuvable", 'F') == SearchSession::Outcome::Finished; });
        std::string concatenated;
        for (int f = 0; f < table.fieldCount(); ++f)
            concatenated += (f ? " || ' ' || " : "") + std::string("coalesce(") +
                            table.fields()[static_cast<std::size_t>(f)].name + ", '')";
        std::size_t sqliteCount = 0;
        const Timing lite = bestOf([&] {
            sqliteCount = selectRows(db, "SELECT rowid FROM t WHERE " + concatenated + " LIKE '%introuvable%'");
        });
        lines.push_back({"search finding nothing", ours, lite, 200, finished ? 0u : 1u, sqliteCount});
    }

    std::printf("records %zu; ms are wall-clock (processor time in brackets), ratio = ours / sqlite\n", records);
    std::printf("%-28s %18s %18s %12s %7s %8s\n", "operation", "ours ms", "sqlite ms", "ratio", "limit", "rows");
    bool allWithin = true;
    for (const Line& line : lines) {
        const bool within = line.ours.wall <= line.limit;
        allWithin = allWithin && within;
        std::printf("%-28s %8.1f (%7.1f) %8.1f (%7.1f) %4.2f (%4.2f) %7.0f %8zu%s%s\n", line.name, line.ours.wall,
                    line.ours.cpu, line.sqlite.wall, line.sqlite.cpu, line.ours.wall / line.sqlite.wall,
                    line.ours.cpu / line.sqlite.cpu, line.limit, line.oursRows,
                    line.oursRows == line.sqliteRows ? "" : " (sqlite differs)", within ? "" : "  OVER THE LIMIT");
    }
    sqlite3_close(db);
    QFile::remove(path);
    return allWithin ? 0 : 2;
}
