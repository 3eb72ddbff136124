#include "recordbinder.h"

#include "db/fieldrows.h"
#include "platform/cp1252.h"
#include "platform/recordtable.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>

namespace fichora {

namespace {

// A memo holds its line breaks as CR LF, as the files written by other programs do.
QString fromStored(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QString toStored(QString text)
{
    return text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
}

} // namespace

bool fitsCp1252(QStringView text)
{
    for (const QChar c : text)
        if (c.isSurrogate() || cp1252::byteOf(c.unicode()) < 0)
            return false;
    return true;
}

QValidator::State Cp1252Validator::validate(QString& input, int& /*pos*/) const
{
    return fitsCp1252(input) ? Acceptable : Invalid;
}

FieldMemo::FieldMemo(QWidget* parent) : QPlainTextEdit(parent) {}

void FieldMemo::loadText(const QString& text)
{
    setPlainText(text);
    document()->setModified(false);
}

bool FieldMemo::isModified() const
{
    return document()->isModified();
}

void FieldMemo::setModified(bool modified)
{
    document()->setModified(modified);
}

bool FieldMemo::accepts(const QString& inserted) const
{
    if (inserted.isEmpty())
        return true;
    if (!fitsCp1252(inserted))
        return false;
    const QTextCursor cursor = textCursor();
    const qsizetype replaced = cursor.selectionEnd() - cursor.selectionStart();
    return toPlainText().size() - replaced + inserted.size() <= m_maxLength;
}

void FieldMemo::keyPressEvent(QKeyEvent* event)
{
    // Only keys that type something are checked; a break counts as one character.
    QString typed = event->text();
    if (typed == QLatin1String("\r"))
        typed = QStringLiteral("\n");
    const bool printable = !typed.isEmpty() && (typed.front().isPrint() || typed == QLatin1String("\n"));
    if (printable && !isReadOnly() && !accepts(typed)) {
        QApplication::beep();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void FieldMemo::insertFromMimeData(const QMimeData* source)
{
    if (source && source->hasText() && !accepts(source->text())) {
        QApplication::beep();
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}

void FieldMemo::inputMethodEvent(QInputMethodEvent* event)
{
    if (!accepts(event->commitString())) {
        QApplication::beep();
        QInputMethodEvent cleared(event->preeditString(), event->attributes());
        QPlainTextEdit::inputMethodEvent(&cleared);
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void RecordBinder::bind(int field, QWidget* editor)
{
    m_editors[static_cast<std::size_t>(field - 1)] = editor;
}

void RecordBinder::load(const RecordTable& records)
{
    const bool current = records.isOpen() && (records.currentRow() || records.state() == RecordTable::State::Insert);
    for (const FieldRow& row : kFieldRows) {
        if (!editor(row.field))
            continue;
        const int index = current ? records.fieldIndex(row.name) : -1;
        setText(row.field, index < 0 ? QString() : cp1252::toUnicode(records.text(index)));
        setModified(row.field, false);
    }
}

void RecordBinder::clear()
{
    for (const FieldRow& row : kFieldRows) {
        if (!editor(row.field))
            continue;
        setText(row.field, QString());
        setModified(row.field, false);
    }
}

bool RecordBinder::isModified(int field) const
{
    if (auto* line = qobject_cast<QLineEdit*>(editor(field)))
        return line->isModified();
    if (auto* memo = qobject_cast<FieldMemo*>(editor(field)))
        return memo->isModified();
    return false;
}

void RecordBinder::setModified(int field, bool modified)
{
    if (auto* line = qobject_cast<QLineEdit*>(editor(field)))
        line->setModified(modified);
    else if (auto* memo = qobject_cast<FieldMemo*>(editor(field)))
        memo->setModified(modified);
}

bool RecordBinder::anyModified() const
{
    for (int field = 1; field <= kFieldCount; ++field)
        if (isModified(field))
            return true;
    return false;
}

QString RecordBinder::text(int field) const
{
    if (auto* line = qobject_cast<QLineEdit*>(editor(field)))
        return line->text();
    if (auto* memo = qobject_cast<FieldMemo*>(editor(field)))
        return memo->toPlainText();
    return {};
}

void RecordBinder::setText(int field, const QString& text)
{
    if (auto* line = qobject_cast<QLineEdit*>(editor(field))) {
        line->setText(text);
        line->setCursorPosition(0);
    } else if (auto* memo = qobject_cast<FieldMemo*>(editor(field))) {
        memo->loadText(fromStored(text));
    }
}

std::expected<bool, RecordBinder::Refused> RecordBinder::store(RecordTable& records)
{
    bool stored = false;
    for (const FieldRow& row : kFieldRows) {
        if (!isModified(row.field))
            continue;
        const int index = records.fieldIndex(row.name);
        if (index < 0)
            continue;
        QString text = this->text(row.field);
        if (qobject_cast<FieldMemo*>(editor(row.field)))
            text = toStored(text);
        const QByteArray bytes = cp1252::fromUnicode(text);
        if (auto set = records.setValue(index, std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
            !set)
            return std::unexpected(Refused{row.field, set.error()});
        stored = true;
    }
    return stored;
}

} // namespace fichora
