// Delimited-text export and import of 100,000 records: the export must take under 1 s, the import under 1.5 s.

#include "exchange/textexport.h"
#include "exchange/textimport.h"
#include "generator.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

using namespace fichora;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    constexpr std::size_t kRecords = 100000;
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("bench.xml"));
    if (!bench::writeDatabase(data, kRecords)) {
        std::fprintf(stderr, "cannot write the database\n");
        return 1;
    }

    textexport::Fields all;
    all.fill(true);
    QFile packet(data);
    if (!packet.open(QIODevice::ReadOnly))
        return 1;
    QByteArray text = textexport::headerLine({}, all);
    QBuffer out(&text);
    out.open(QIODevice::WriteOnly | QIODevice::Append);
    QElapsedTimer timer;
    timer.start();
    qint64 lines = 0;
    const auto written = textexport::writeRecords(packet, out, all, [&](qint64, qint64) {
        ++lines;
        return true;
    });
    const qint64 exportMs = timer.elapsed();
    out.close();
    if (!written || written->records != static_cast<qint64>(kRecords))
        return 1;

    // The rows go to a template-sized buffer, as into the template copy.
    QByteArray rows(1470, ' ');
    rows.replace(1447, 23, "</ROWDATA></DATAPACKET>");
    QBuffer in(&text);
    in.open(QIODevice::ReadOnly);
    QBuffer target(&rows);
    target.open(QIODevice::ReadWrite);
    timer.restart();
    const auto converted = textimport::convertRecords(in, target, [](qint64, qint64) { return true; });
    const qint64 importMs = timer.elapsed();
    if (!converted)
        return 1;

    std::printf("export: %lld records, %lld bytes, %lld ms (target < 1000 ms)\n", static_cast<long long>(lines),
                static_cast<long long>(text.size()), static_cast<long long>(exportMs));
    std::printf("import: %lld records (lines split by long texts count twice), %lld ms (target < 1500 ms)\n",
                static_cast<long long>(converted->records), static_cast<long long>(importMs));
    return exportMs < 1000 && importMs < 1500 ? 0 : 1;
}
