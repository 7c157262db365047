// The yardstick of the start-up benchmark: a bare Qt 6 window of the main window's size that
// reports its first paint the way velmora does (once the first paint pass is over and control is
// back in the event loop), so both are measured by the same method. With --line it also draws one
// line of text in the default font, which brings up the font configuration, a font engine and the
// shaper: a reference for what any window that shows text starts with.
#include <time.h>

#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstring>

namespace {

constexpr const char* kFirstShowVariable = "VELMORA_FIRST_SHOW_FILE";
constexpr long long kNanosPerSecond = 1'000'000'000LL;
constexpr int kWidth = 840;
constexpr int kHeight = 620;

constexpr const char* kLineOption = "--line";
constexpr const char* kLine = "Tune your Mac";
constexpr QPoint kLineAt{20, 40};

class BareWindow : public QWidget {
  public:
    enum class Text { none, oneLine };

    explicit BareWindow(Text text) : text_(text) {}

  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        if (text_ == Text::oneLine) {
            painter.drawText(kLineAt, QString::fromLatin1(kLine));
        }
        if (painted_) {
            return;
        }
        painted_ = true;
        QTimer::singleShot(0, this, [] {
            const QByteArray path = qgetenv(kFirstShowVariable);
            timespec now{};
            ::clock_gettime(CLOCK_REALTIME, &now);
            if (std::FILE* file = path.isEmpty() ? nullptr : std::fopen(path.constData(), "w")) {
                std::fprintf(file, "%lld\n",
                             static_cast<long long>(now.tv_sec) * kNanosPerSecond + now.tv_nsec);
                std::fclose(file);
            }
        });
    }

  private:
    Text text_;
    bool painted_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool line = argc > 1 && std::strcmp(argv[1], kLineOption) == 0;
    BareWindow window(line ? BareWindow::Text::oneLine : BareWindow::Text::none);
    window.resize(kWidth, kHeight);
    window.show();
    return QApplication::exec();
}
