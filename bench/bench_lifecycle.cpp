// Times the life cycle of a generated database without dialogs: opening and saving it in plain, then
// ciphered, against the key derivation alone. Usage: bench_lifecycle [records]
#include "generator.h"
#include "silentservices.h"

#include "app/session.h"
#include "db/cipher.h"
#include "db/database.h"
#include "db/parameterfile.h"
#include "platform/services.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

using namespace fichora;

namespace {

namespace pf = parameterfile;

const QByteArray kKey = "abc123";

using bench::SilentServices;

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

/// The best of `runs` timings of `step`, in milliseconds; the page cache is warm for all of them.
double best(int runs, const std::function<void()>& step)
{
    double fastest = 1e300;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        step();
        fastest = std::min(fastest, millisecondsSince(start));
    }
    return fastest;
}

/// A parameter file like the template's: every field a text field in use, ticked for export.
bool writeParameterFile(const QString& path)
{
    QByteArray bytes(1840, ' ');
    bytes.replace(0, 12, "Fichora V3.6");
    for (int n = 1; n <= pf::kFieldCount; ++n) {
        bytes.replace(pf::fieldTypeOffset(n), 6, "string");
        QByteArray label = QStringLiteral("F%1").arg(n, 2, 10, QLatin1Char('0')).toLatin1();
        label.append('\0');
        bytes.replace(pf::labelOffset(n), label.size(), label);
        const char width[4] = {100, 0, 0, 0};
        bytes.replace(pf::widthOffset(n), 4, QByteArray(width, 4));
        bytes[pf::exportOffset(n)] = 'E';
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void editFirstRecord(Session& session)
{
    session.records.first();
    (void)session.records.setValue(session.records.fieldIndex("F03"), std::string("benchmark edit"));
    (void)session.records.post();
    session.modified = true;
}

bool check(bool ok, const char* what, const SilentServices& services)
{
    if (!ok || !services.shown.isEmpty()) {
        std::fprintf(stderr, "%s failed%s%s\n", what, services.shown.isEmpty() ? "" : ": ",
                     services.shown.isEmpty() ? "" : qPrintable(services.shown.join(QStringLiteral(" / "))));
        return false;
    }
    return true;
}

void verdict(const char* what, double ms, double limitMs)
{
    std::printf("%-28s %8.0f ms   (target < %.0f ms: %s)\n", what, ms, limitMs, ms < limitMs ? "met" : "MISSED");
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const std::size_t records = argc > 1 ? std::stoul(argv[1]) : 100000;
    QTemporaryDir dir;
    const QString xml = dir.filePath(QStringLiteral("Bench.xml"));
    const QString cip = dir.filePath(QStringLiteral("Bench.cip"));
    const QString par = dir.filePath(QStringLiteral("Bench.par"));
    if (auto written = bench::writeDatabase(xml, records); !written || !writeParameterFile(par)) {
        std::fprintf(stderr, "cannot write the database in %s\n", qPrintable(dir.path()));
        return 1;
    }
    std::printf("records %zu, data file %.1f MB\n", records, double(QFile(xml).size()) / (1024.0 * 1024.0));

    // The derivation alone: ciphering a file of a few bytes costs little else.
    const QString tiny = dir.filePath(QStringLiteral("tiny.xml"));
    if (QFile f(tiny); !f.open(QIODevice::WriteOnly) || f.write("<?xml version=") != 14)
        return 1;
    const double kdfMs = best(3, [&] {
        (void)cipher::cipherFile(tiny, dir.filePath(QStringLiteral("tiny.cip")), kKey, cipher::defaultKdfParams());
    });

    Session session;
    session.language = 'E';
    SilentServices services;

    const double plainOpenMs = best(3, [&] {
        services.shown.clear();
        check(openDatabaseFile(session, services, xml, {}) == OpenResult::Opened, "plain open", services);
    });
    const double plainSaveMs = best(3, [&] {
        editFirstRecord(session);
        services.shown.clear();
        check(saveDatabase(session, services, {}) == SaveResult::Saved, "plain save", services);
    });

    // From here the parameter file asks for ciphering: the first save turns the database ciphered.
    if (!pf::writeCipher(par, true))
        return 1;
    session.openingKey = cipher::keyFingerprint(kKey);
    editFirstRecord(session);
    services.shown.clear();
    if (!check(saveDatabase(session, services, kKey) == SaveResult::Saved, "first ciphered save", services))
        return 1;
    runCloseSteps(session, services);

    const double cipheredOpenMs = best(3, [&] {
        services.shown.clear();
        check(openDatabaseFile(session, services, cip, kKey) == OpenResult::Opened, "ciphered open", services);
    });
    const double cipheredSaveMs = best(3, [&] {
        editFirstRecord(session);
        services.shown.clear();
        check(saveDatabase(session, services, kKey) == SaveResult::Saved, "ciphered save", services);
    });
    runCloseSteps(session, services);

    std::printf("key derivation alone        %8.0f ms\n", kdfMs);
    verdict("plain open", plainOpenMs, 1500);
    verdict("plain save", plainSaveMs, 1000);
    verdict("ciphered open", cipheredOpenMs, plainOpenMs + kdfMs + 300);
    verdict("ciphered save", cipheredSaveMs, plainSaveMs + kdfMs + 300);
    return 0;
}
