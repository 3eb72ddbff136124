// Times the record table on a generated database: pugixml alone as the baseline, then load, sort and
// save through the table, and the peak memory of the table's part. Usage: bench_recordtable [records] [file]
#include "generator.h"

#include "platform/recordtable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <pugixml.hpp>

#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

using namespace fichora;

namespace {

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Resident peak (VmHWM) in kB, which resetPeak() brings back down to the present size.
long peakKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

long residentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

void resetPeak()
{
    malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const std::size_t records = argc > 1 ? std::stoul(argv[1]) : 100000;
    const QString path = argc > 2 ? QString::fromLocal8Bit(argv[2])
                                  : QDir::temp().filePath(QStringLiteral("fichora_bench_%1.xml").arg(records));
    const QString savedPath = path + QStringLiteral(".saved.xml");

    auto start = std::chrono::steady_clock::now();
    if (auto written = bench::writeDatabase(path, records); !written) {
        std::fprintf(stderr, "generator: %s\n", qPrintable(written.error().message));
        return 1;
    }
    const double generateMs = millisecondsSince(start);
    const double fileMb = static_cast<double>(QFileInfo(path).size()) / (1024.0 * 1024.0);
    std::printf("records %zu, file %.1f MB (generated in %.0f ms)\n", records, fileMb, generateMs);

    // The table's part first, so that its peak is not the baseline DOM's. The peak is that of one load, sort
    // and save; loads and parses are timed as the best of three, the file in the page cache for all.
    resetPeak();
    const long residentBefore = residentKilobytes();
    double loadMs = 0, sortMs = 0, saveMs = 0;
    {
        RecordTable table;
        start = std::chrono::steady_clock::now();
        if (auto loaded = table.loadFromFile(path); !loaded) {
            std::fprintf(stderr, "load: %s\n", qPrintable(loaded.error().message));
            return 1;
        }
        loadMs = millisecondsSince(start);
        if (table.recordCount() != static_cast<int>(records)) {
            std::fprintf(stderr, "load: %d records instead of %zu\n", table.recordCount(), records);
            return 1;
        }
        start = std::chrono::steady_clock::now();
        if (auto sorted = table.setIndexFieldNames("F03"); !sorted)
            return 1;
        sortMs = millisecondsSince(start);
        start = std::chrono::steady_clock::now();
        if (auto saved = table.saveToFile(savedPath); !saved) {
            std::fprintf(stderr, "save: %s\n", qPrintable(saved.error().message));
            return 1;
        }
        saveMs = millisecondsSince(start);
    }
    const long peak = peakKilobytes();
    for (int round = 1; round < 3; ++round) {
        RecordTable table;
        start = std::chrono::steady_clock::now();
        if (!table.loadFromFile(path))
            return 1;
        loadMs = std::min(loadMs, millisecondsSince(start));
    }

    // Baseline: one read of the file and pugixml parsing it in place, default options; best of three.
    double parseMs = 1e9;
    for (int round = 0; round < 3; ++round) {
        start = std::chrono::steady_clock::now();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        std::string bytes(static_cast<std::size_t>(file.size()), '\0');
        file.read(bytes.data(), static_cast<qint64>(bytes.size()));
        pugi::xml_document document;
        if (!document.load_buffer_inplace(bytes.data(), bytes.size()))
            return 1;
        parseMs = std::min(parseMs, millisecondsSince(start));
    }

    const double peakMb = static_cast<double>(peak) / 1024.0;
    const double tableMb = static_cast<double>(peak - residentBefore) / 1024.0;
    std::printf("pugixml parse (read + parse)  %8.1f ms\n", parseMs);
    std::printf("record table load             %8.1f ms   load/parse %.2f\n", loadMs, loadMs / parseMs);
    std::printf("sort by F03                   %8.1f ms\n", sortMs);
    std::printf("save                          %8.1f ms\n", saveMs);
    std::printf("peak memory %.1f MB (process), %.1f MB above the start; memory/file %.2f (process), %.2f (table)\n",
                peakMb, tableMb, peakMb / fileMb, tableMb / fileMb);
    QFile::remove(savedPath);
    return 0;
}
