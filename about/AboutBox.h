// The About box: name, version, credit, and how to play.
#pragma once

#include <QDialog>
#include <QString>

class QIcon;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace morvane {

class AboutBox : public QDialog {
    Q_OBJECT
public:
    AboutBox(QWidget *owner, const QIcon &icon);

    // The how-to-play text, one line break after each of its three lines.
    static QString howToPlay();

    QPushButton *okButton() const { return m_ok; }
    QLabel *titleLabel() const { return m_title; }
    QLabel *iconLabel() const { return m_icon; }
    QPlainTextEdit *helpBox() const { return m_help; }

private:
    void fitHelpBox();

    QPushButton *m_ok;
    QLabel *m_icon;
    QLabel *m_title;
    QPlainTextEdit *m_help;
};

// Shows the About box modally over `owner`; every showing builds it afresh.
void runAboutBox(QWidget *owner, const QIcon &icon);

} // namespace morvane
