// A small window that a real-window check drags files out of, as a file manager does: a
// press on it starts a drag of a URL list (text/uri-list, with the URLs as plain text beside
// it) through the X server's drag-and-drop protocol, so that the program under test gets
// exactly what a file manager's drop brings.
//
//   smoke-drag-source FILE...
//
// The window ("Dateien ziehen", 160 × 60, top right, above all others) shows how many files
// it offers. The program ends three seconds after one drag (so that the target can still
// fetch the data), with exit code 0 when a window took the drop and 1 when none did; 2 for
// a wrong call.

#include <QApplication>
#include <QDrag>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <cstdio>

namespace {

class TDragSource : public QLabel {
public:
    explicit TDragSource(QList<QUrl> urls) : urls_(std::move(urls)) {
        setWindowTitle(QStringLiteral("Dateien ziehen"));
        setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
        setText(QStringLiteral("%1 Datei(en) ziehen").arg(urls_.size()));
        setAlignment(Qt::AlignCenter);
        setFixedSize(160, 60);
    }
    int Result = 1;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        auto* data = new QMimeData;
        data->setUrls(urls_);
        QStringList text;
        for (const QUrl& url : urls_)
            text << url.toString();
        data->setText(text.join(u'\n'));
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        Result = drag->exec(Qt::CopyAction) == Qt::CopyAction ? 0 : 1;
        // The drop's target fetches the data after the drop has been sent, as a file manager
        // that lives on would serve it.
        QTimer::singleShot(3000, [this] { QApplication::exit(Result); });
    }

private:
    QList<QUrl> urls_;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.isEmpty() || arguments.front() == u"--help") {
        std::fputs("Aufruf: smoke-drag-source DATEI...\n"
                   "Zeigt ein kleines Fenster, aus dem ein Druck mit der linken Maustaste die\n"
                   "Dateien als URL-Liste zieht, wie ein Dateimanager es tut. Endet drei\n"
                   "Sekunden nach dem Ziehen: 0, wenn ein Fenster die Dateien angenommen hat,\n"
                   "sonst 1; 2 bei falschem Aufruf.\n",
                   arguments.isEmpty() ? stderr : stdout);
        return arguments.isEmpty() ? 2 : 0;
    }
    QList<QUrl> urls;
    for (const QString& file : arguments)
        urls << QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
    TDragSource source(urls);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    source.move(screen.right() - source.width() - 40, screen.top() + 120);
    source.show();
    return app.exec();
}
