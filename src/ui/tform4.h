#pragma once

#include <QWidget>

class QLabel;
class QScrollArea;

namespace fichora {

struct Session;

/// The full-size picture window: a tool window on top of the others showing one picture at its real
/// size, sized to fit it (within the screen: a larger picture scrolls). A double-click hides it.
class TForm4 : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kEmptyWidth = 300;
    static constexpr int kEmptyHeight = 200;

    explicit TForm4(const Session& session, QWidget* parent = nullptr);

    /// The picture shown at the next showing (a full path; empty for none).
    void setPictureName(const QString& name) { m_name = name; }
    QString pictureName() const { return m_name; }
    /// Sets the caption in the language of the session.
    void applyLanguage();

    QLabel* picture() const { return m_picture; } // Image_large

    // Handlers with their designer names.
    void FormShow();
    void Image_largeDblClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const Session& m_session;
    QString m_name;
    QScrollArea* m_scroll = nullptr;
    QLabel* m_picture = nullptr;
};

} // namespace fichora
