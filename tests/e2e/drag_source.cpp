// A drag source for the end-to-end tests: a small window that, when the pointer presses on it,
// starts a drag of the URLs (or the text) named on its command line, as a file manager does, and
// prints what the drop target made of it: "DROP copy", "DROP move" or "DROP refused".
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>

#include <cstdio>

namespace {

class DragSource : public QWidget {
public:
    explicit DragSource(QStringList items) : m_items(std::move(items))
    {
        setWindowTitle(QStringLiteral("Drag source"));
        setFixedSize(120, 80);
    }

protected:
    void mousePressEvent(QMouseEvent *) override
    {
        auto *mime = new QMimeData;
        if (m_items.value(0) == QLatin1String("--text")) {
            mime->setText(m_items.mid(1).join(QLatin1Char('\n')));
        } else {
            QList<QUrl> urls;
            for (const QString &item : m_items)
                urls << QUrl::fromUserInput(item);
            mime->setUrls(urls);
        }
        auto *drag = new QDrag(this);
        drag->setMimeData(mime);
        // A file manager offers both and proposes a move within one disk.
        const Qt::DropAction done = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
        std::printf("DROP %s\n", done == Qt::CopyAction   ? "copy"
                                 : done == Qt::MoveAction ? "move"
                                                          : "refused");
        std::fflush(stdout);
    }

private:
    QStringList m_items;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    DragSource source(app.arguments().mid(1));
    source.move(1100, 40);
    source.show();
    return app.exec();
}
