// The About box: a fixed dialog with the icon, name, version, credit and how-to-play text.
#include "AboutBox.h"

#include "TitleFont.h"
#include "components/Twips.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QPalette>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

#include <algorithm>

namespace morvane {

namespace {
constexpr int ClientWidthTwips = 5730;
constexpr int ClientHeightTwips = 4290;
constexpr int IconSide = 32;
constexpr int DialogFontPoints = 8;
// Space kept between a grown text box and the box's right edge.
constexpr int RightMargin = 8;

QLabel *addLabel(QWidget *box, const QString &text, const QRect &place)
{
    auto *label = new QLabel(text, box);
    label->setGeometry(place);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}
} // namespace

QString AboutBox::howToPlay()
{
    return QStringLiteral("HOW TO PLAY:\r\nUse the mouse clicks.\r\n"
                          "After level 2 you should use right mouse button.\r\n");
}

AboutBox::AboutBox(QWidget *owner, const QIcon &icon)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
                         | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                         | Qt::WindowCloseButtonHint)
{
    // Set afresh on every showing, since every showing builds a new box.
    setWindowTitle(QStringLiteral("About Morvane"));
    setFixedSize(ClientWidthTwips / TwipsPerPixel, ClientHeightTwips / TwipsPerPixel);
    // The box is laid out for an 8 point dialog font; the children inherit it.
    QFont dialogFont = font();
    dialogFont.setPointSize(DialogFontPoints);
    setFont(dialogFont);

    // Created in tab order; OK first so that it holds the focus.
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setGeometry(twipsRect(2055, 3585, 1260, 345));
    // Enter presses the default button; Esc rejects the dialog: both close the box.
    m_ok->setDefault(true);
    m_ok->setFocus();
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    m_icon = new QLabel(this);
    m_icon->setGeometry(QRect(twipsRect(240, 240, 540, 540).topLeft(), QSize(IconSide, IconSide)));
    m_icon->setPixmap(icon.pixmap(IconSide, IconSide));

    addLabel(this, QStringLiteral("Made by the Morvane developers"),
             twipsRect(1125, 1650, 3885, 300));

    m_title = addLabel(this, QStringLiteral("Morvane"), twipsRect(1050, 240, 3885, 480));
    m_title->setFont(titleFont());
    // The designed row fits the designed 24 pt face; a fallback face may need a little more.
    m_title->resize(m_title->width(), std::max(m_title->height(), m_title->sizeHint().height()));

    addLabel(this, QStringLiteral("Version 1.3"), twipsRect(1065, 975, 3885, 285));
    addLabel(this, QStringLiteral("The puzzle game"), twipsRect(1065, 750, 4110, 195));

    m_help = new QPlainTextEdit(this);
    m_help->setGeometry(twipsRect(1065, 2505, 3495, 825));
    m_help->setReadOnly(true);
    m_help->setPlainText(howToPlay());
    QPalette menuColoured = m_help->palette();
    menuColoured.setColor(QPalette::Base, QApplication::palette("QMenu").color(QPalette::Window));
    m_help->setPalette(menuColoured);
    fitHelpBox();
}

void AboutBox::fitHelpBox()
{
    // The designed box holds the three lines and the empty fourth in the designed face; an
    // installed face may be wider or taller. Grow rather than wrap or scroll.
    const QFontMetrics metrics(m_help->font());
    const QStringList lines = m_help->toPlainText().split(QLatin1Char('\n'));
    int widest = 0;
    for (const QString &line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const int padding = 2 * (int(m_help->document()->documentMargin()) + m_help->frameWidth());
    const int width = std::min(std::max(m_help->width(), widest + padding + 2),
                               this->width() - m_help->x() - RightMargin);
    const int height =
        std::max(m_help->height(), int(lines.size()) * metrics.lineSpacing() + padding);
    m_help->resize(width, height);
    m_help->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_help->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void runAboutBox(QWidget *owner, const QIcon &icon)
{
    AboutBox box(owner, icon);
    box.exec();
}

} // namespace morvane
