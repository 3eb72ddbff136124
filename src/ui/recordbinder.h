#pragma once

#include "platform/error.h"

#include <QPlainTextEdit>
#include <QValidator>

#include <array>

namespace fichora {

class RecordTable;

/// True when every character of `text` has a Windows-1252 byte.
bool fitsCp1252(QStringView text);

/// Refuses, at entry, any text holding a character that Windows-1252 cannot store, so that nothing
/// typed or pasted is ever replaced behind the person's back.
class Cp1252Validator : public QValidator
{
    Q_OBJECT

public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

/// A plain-text editor with a character limit that refuses what Windows-1252 cannot hold, as the line
/// editors do through their validator. Refused input beeps and changes nothing.
class FieldMemo : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit FieldMemo(QWidget* parent = nullptr);

    void setMaxLength(int length) { m_maxLength = length; }
    int maxLength() const { return m_maxLength; }

    /// Replaces the whole text and forgets that it was changed.
    void loadText(const QString& text);
    bool isModified() const;
    void setModified(bool modified);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    bool accepts(const QString& inserted) const;

    int m_maxLength = 9000;
};

/// The data link between the current record of the record table and the field editors: it loads the
/// editors from the current record and writes the ones the person changed back into it. Editors are
/// QLineEdit or FieldMemo; field numbers are 1..23.
class RecordBinder
{
public:
    struct Refused
    {
        int field; ///< 1..23
        Error error;
    };

    void bind(int field, QWidget* editor);
    QWidget* editor(int field) const { return m_editors[static_cast<std::size_t>(field - 1)]; }

    /// Shows the current record (or its edit buffer) in every editor; empty when there is none.
    void load(const RecordTable& records);
    /// Empties every editor.
    void clear();

    bool isModified(int field) const;
    void setModified(int field, bool modified);
    bool anyModified() const;

    QString text(int field) const;
    void setText(int field, const QString& text);

    /// Writes the changed editors into the current record's edit buffer, in field order. The first
    /// value the table refuses (a number field holding no number) stops the writing.
    std::expected<bool, Refused> store(RecordTable& records);

private:
    std::array<QWidget*, 23> m_editors{};
};

} // namespace fichora
