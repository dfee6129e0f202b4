// The yardstick for start-up time: the smallest Qt Widgets program that shows a window with a
// line of text (the first argument, else "Hello") and leaves once it has painted.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>

namespace {
class QuitOnPaint : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent* event) override {
        QLabel::paintEvent(event);
        QTimer::singleShot(0, qApp, [] { QApplication::quit(); });
    }
};
}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QuitOnPaint window(argc > 1 ? QString::fromUtf8(argv[1]) : QString("Hello"));
    window.resize(760, 520);
    window.show();
    return app.exec();
}
