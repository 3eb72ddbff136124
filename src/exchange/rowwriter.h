#pragma once

#include "platform/error.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QIODevice;

/// What the importers share to build a new database without the record table: the target names, the
/// parameter and data files made from the templates, the text of one row, the end of the packet, the
/// clean-up of an abandoned import and the messages that go with them. Rows are text written straight
/// into a copy of the data-file template; every value goes through the data files' escaping table.
namespace fichora {

class Services;
struct Session;

/// What the main window shows of a running import or export: Label15 with its caption, ProgressBar1 and
/// the abandon button BitBtn27. Every member may be left empty.
struct ProgressLine
{
    std::function<void(const QString& caption)> show;
    std::function<void(qint64 value, qint64 maximum)> advance;
    std::function<void()> hide;
};

/// The step callback of a long import or export: at most every 40 ms it moves the progress bar and
/// lets pending window events run (the abandon button among them); it says to go on until the person
/// abandons.
class ProgressPacer
{
public:
    static constexpr qint64 kEventsEveryMs = 40;

    ProgressPacer(const ProgressLine& progress, Services& services, const Session& session);
    bool operator()(qint64 value, qint64 maximum);

private:
    const ProgressLine* m_progress;
    Services* m_services;
    const Session* m_session;
    QElapsedTimer m_sinceEvents;
};

namespace rowwriter {

inline constexpr int kFieldCount = 23;
inline constexpr char kRowStart[] = "<ROW F01=\"";
inline constexpr char kRowEnd[] = "\"/>";
inline constexpr char kPhotoLabel[] = "Photo";

struct Targets
{
    QString parameterFile;
    QString dataFile;
};

/// The imported file's path without its last three characters, cut after the last separator, at most
/// 999 characters: "addr." for ".../addr.txt".
QString sourceBaseName(const QString& importedFile);
/// programDirectory + base name + "par" / "xml".
Targets targetsFor(const QString& programDirectory, const QString& importedFile);

/// Appends the escaped value (the row writer's escaping of the data files).
void appendValue(std::string& out, std::string_view value);
/// Appends the opening of field n (1..23): `<ROW F01="` for field 1, `" Fnn="` for the others.
void appendOpening(std::string& out, int n);
/// Appends one whole row; fields with no value are written empty.
void appendRow(std::string& out, const std::array<std::string_view, kFieldCount>& values);

/// Rows written from the template's row position of an open data file, buffered; finish() ends the packet.
class RowStream
{
public:
    /// `device` must be open for writing; it is positioned at the template's row offset first.
    explicit RowStream(QIODevice& device);

    /// The buffer a row is written into; the stream writes it out when it grows large.
    std::string& buffer() { return m_buffer; }
    /// Call after each row appended to buffer().
    Result<void> rowDone();
    /// Writes what is buffered, then "</ROWDATA></DATAPACKET>".
    Result<void> finish();

private:
    Result<void> flush();
    QIODevice& m_device;
    std::string m_buffer;
    bool m_failed = false;
};

// Steps on the Session and the Services; each shows its own message and returns false (or nothing) when
// the import must stop.

/// The import prelude: the close command's steps; false when the person kept unsaved changes.
bool importPrelude(Session& session, Services& services);

/// Copies the parameter-file template to `path` (R1 on failure) and checks it opens for writing (R2).
bool copyParameterTemplate(const Session& session, Services& services, const QString& path);
/// Writes `label` and one zero byte at the label of field n, "Photo" for field 23.
Result<void> writeLabels(const QString& path, const std::array<std::optional<QByteArray>, 22>& labels);
/// The whole step: copy, the labels given (at most 15 bytes each), "Photo" for field 23.
bool createParameterFile(const Session& session, Services& services, const QString& path,
                         const std::array<std::optional<QByteArray>, 22>& labels);

/// Copies the data-file template to `path` (R1 on failure) and checks it opens for writing (R3).
bool createDataFile(const Session& session, Services& services, const QString& path);

/// Removes the data file, its ".bak" and the parameter file, when they exist.
void removeImported(const Targets& targets);

/// R4; `textImport` picks the wording of the delimited-text import.
QString successMessage(const Session& session, const QString& importedFile, qint64 records, const QString& dataFile,
                       bool textImport);

} // namespace rowwriter
} // namespace fichora
