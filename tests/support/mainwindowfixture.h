#pragma once

// For the window tests only: they link fichora_ui.

#include "app/session.h"
#include "db/cipher.h"
#include "db/fieldrows.h"
#include "platform/cp1252.h"
#include "scriptedservices.h"
#include "testdirs.h"
#include "ui/navigator.h"
#include "ui/tform1.h"
#include "ui/tform12.h"
#include "ui/tform4.h"
#include "ui/tform8.h"

#include <QAction>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>
#include <string_view>

namespace fichora::test {

/// An ASCII name, such as one of the field-row table, as a QString.
inline QString str(std::string_view text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

/// A configuration file of 40 bytes holding the language flag (offset 25) and the skin (offset 36).
inline QByteArray configBytes(char language, char skin)
{
    QByteArray bytes(40, '-');
    bytes[25] = language;
    bytes[36] = skin;
    return bytes;
}

/// What a MainWindowFixture sets up. The defaults give the shipped address book open in French, without
/// a skin.
struct MainWindowOptions
{
    /// The configuration file of the program folder; a null array leaves the file out.
    QByteArray config = configBytes('F', 'X');
    /// A copy of the shipped address book (Carnet.par and Carnet.xml) in the temporary folder.
    bool sample = true;
    /// The copy's read-only byte, at offset 13 of its parameter file ('P' protects the database).
    char readOnly = ' ';
    /// The window is shown, and exposed, once made.
    bool show = true;
    /// The copy is opened through the toolbar's Open and the boxes shown so far are forgotten.
    bool open = true;
    /// Windows attached to the main window: the long-text editor, the full-size picture and the window
    /// of the record's other files.
    bool longTextEditor = false;
    bool fullSizePicture = false;
    bool otherFiles = false;
};

/// The main window over a program folder of its own: a temporary folder holding the per-user program
/// folder "Fichora" (with the configuration file) and an empty "shipped" folder, the address book's copy
/// beside them. Message boxes and file dialogs go to `services`.
struct MainWindowFixture
{
    QTemporaryDir dir;
    ScriptedServices services;
    Session session;
    std::unique_ptr<TForm1> form;
    std::unique_ptr<TForm8> longText;
    std::unique_ptr<TForm4> fullSize;
    std::unique_ptr<TForm12> otherFiles;

    explicit MainWindowFixture(const MainWindowOptions& options = {})
    {
        QDir().mkpath(userDirectory());
        QDir().mkpath(shippedDirectory());
        if (!options.config.isNull())
            writeAll(configPath(), options.config);
        if (options.sample) {
            QByteArray parameters = readAll(resourcePath(QStringLiteral("Carnet.par")));
            parameters[13] = options.readOnly;
            writeAll(parameterFile(), parameters);
            QFile::copy(resourcePath(QStringLiteral("Carnet.xml")), dataFile());
        }
        // The real key derivation would make every test that ciphers take seconds.
        session.kdfParams = cipher::fastKdfParams();

        form = std::make_unique<TForm1>(services, session, ProgramLocations{userDirectory(), shippedDirectory()});
        if (options.longTextEditor) {
            longText = std::make_unique<TForm8>(session);
            form->setLongTextEditor(longText.get());
        }
        if (options.fullSizePicture) {
            fullSize = std::make_unique<TForm4>(session);
            form->setFullSizePictureWindow(fullSize.get());
        }
        if (options.otherFiles) {
            otherFiles = std::make_unique<TForm12>(services, session, *form);
            form->setOtherFilesWindow(otherFiles.get());
        }
        if (options.show)
            show();
        if (options.open)
            openSample();
    }

    /// A file of the temporary folder.
    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }
    QString userDirectory() const { return path(QStringLiteral("Fichora")); }
    QString shippedDirectory() const { return path(QStringLiteral("shipped")); }
    QString configPath() const { return userDirectory() + QStringLiteral("/Fichora_conf.ref"); }
    QString dataFile() const { return path(QStringLiteral("Carnet.xml")); }
    QString parameterFile() const { return path(QStringLiteral("Carnet.par")); }

    void show()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    /// Opens `file` through the toolbar's Open, as the person picks it in the dialog; a bare name is one
    /// of the temporary folder.
    void open(const QString& file)
    {
        services.setNextFileName(QFileInfo(file).isAbsolute() ? file : path(file));
        form->toolAction(1)->trigger();
    }
    /// Opens the address book's copy, which must succeed, and forgets the boxes shown so far.
    void openSample()
    {
        open(dataFile());
        QVERIFY(session.open);
        services.clear();
    }

    template <typename T = QWidget> T* find(const QString& name) const { return form->findChild<T*>(name); }
    template <typename T = QWidget> T* find(std::string_view name) const { return find<T>(str(name)); }
    template <typename T = QWidget> T* find(const char* name) const { return find<T>(std::string_view(name)); }
    QLineEdit* edit(std::string_view name) const { return find<QLineEdit>(name); }
    /// The editor of field 1..21, by the field-row table.
    QLineEdit* editor(int field) const { return find<QLineEdit>(fieldRow(field).editor); }
    void press(Navigator::Button button) { QTest::mouseClick(form->navigator()->button(button), Qt::LeftButton); }
    /// Types into an editor as the person does, key presses and releases included.
    void type(QWidget* target, const QString& text)
    {
        target->setFocus();
        // One key per character, whatever the keyboard: the text is what reaches the editor.
        for (const QChar c : text)
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }

    RecordTable& records() { return session.records; }
    /// The current record's value of field n as the table holds it.
    QString stored(int field) const
    {
        const RecordTable& table = session.records;
        return cp1252::toUnicode(table.text(table.fieldIndex(fieldRow(field).name)));
    }
    QString storedAt(RowId row, int field) const
    {
        const RecordTable& table = session.records;
        return cp1252::toUnicode(table.textAt(row, table.fieldIndex(fieldRow(field).name)));
    }
};

} // namespace fichora::test
