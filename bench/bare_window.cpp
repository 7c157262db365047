// The yardstick of the start-up benchmark: a bare Qt 6 window of the main window's size that
// reports its first paint the way velmora does (once the first paint pass is over and control is
// back in the event loop), so both are measured by the same method.
#include <time.h>

#include <QApplication>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

constexpr const char* kFirstShowVariable = "VELMORA_FIRST_SHOW_FILE";
constexpr long long kNanosPerSecond = 1'000'000'000LL;
constexpr int kWidth = 840;
constexpr int kHeight = 620;

class BareWindow : public QWidget {
  protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter(this).fillRect(rect(), palette().window());
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
    bool painted_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    BareWindow window;
    window.resize(kWidth, kHeight);
    window.show();
    return QApplication::exec();
}
