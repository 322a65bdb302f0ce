#include "support/WidgetCallWatch.h"

#include <dlfcn.h>

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

namespace {

enum Watched {
    kCurrentIndex,
    kCurrentText,
    kIsChecked,
    kSpinValue,
    kSliderValue,
    kLabelText,
    kPlainText,
    kUpdate,
    kTimerStart,
    kTimerStartMs,
    kWatched
};
const char* const kNames[kWatched] = {"QComboBox::currentIndex",
                                      "QComboBox::currentText",
                                      "QAbstractButton::isChecked",
                                      "QSpinBox::value",
                                      "QAbstractSlider::value",
                                      "QLabel::setText",
                                      "QPlainTextEdit::setPlainText",
                                      "QWidget::update",
                                      "QTimer::start()",
                                      "QTimer::start(int)"};

// Static initialisation runs on the main thread.
const std::thread::id gMain = std::this_thread::get_id();
std::atomic<long> gOffMain[kWatched];

void tally(Watched w) {
    if (std::this_thread::get_id() != gMain) ++gOffMain[w];
}

// Qt's definition of a method: the next one after this program's.
template <class F>
F qtOwn(const char* symbol) {
    void* p = dlsym(RTLD_NEXT, symbol);
    F f;
    static_assert(sizeof f == sizeof p);
    __builtin_memcpy(&f, &p, sizeof f);
    return f;
}

}  // namespace

namespace pelsid::test {

long widgetCallsOffMainThread() {
    long total = 0;
    for (const auto& n : gOffMain) total += n.load();
    return total;
}

const char* widgetCallReport() {
    static std::string text;
    text.clear();
    for (int i = 0; i < kWatched; ++i)
        text += std::string(kNames[i]) + ": " + std::to_string(gOffMain[i].load()) + "\n";
    return text.c_str();
}

void resetWidgetCalls() {
    for (auto& n : gOffMain) n = 0;
}

}  // namespace pelsid::test

int QComboBox::currentIndex() const {
    tally(kCurrentIndex);
    static auto f = qtOwn<int (*)(const QComboBox*)>("_ZNK9QComboBox12currentIndexEv");
    return f(this);
}
QString QComboBox::currentText() const {
    tally(kCurrentText);
    static auto f = qtOwn<QString (*)(const QComboBox*)>("_ZNK9QComboBox11currentTextEv");
    return f(this);
}
bool QAbstractButton::isChecked() const {
    tally(kIsChecked);
    static auto f = qtOwn<bool (*)(const QAbstractButton*)>("_ZNK15QAbstractButton9isCheckedEv");
    return f(this);
}
int QSpinBox::value() const {
    tally(kSpinValue);
    static auto f = qtOwn<int (*)(const QSpinBox*)>("_ZNK8QSpinBox5valueEv");
    return f(this);
}
int QAbstractSlider::value() const {
    tally(kSliderValue);
    static auto f = qtOwn<int (*)(const QAbstractSlider*)>("_ZNK15QAbstractSlider5valueEv");
    return f(this);
}
void QLabel::setText(const QString& text) {
    tally(kLabelText);
    static auto f = qtOwn<void (*)(QLabel*, const QString&)>("_ZN6QLabel7setTextERK7QString");
    f(this, text);
}
void QPlainTextEdit::setPlainText(const QString& text) {
    tally(kPlainText);
    static auto f = qtOwn<void (*)(QPlainTextEdit*, const QString&)>(
        "_ZN14QPlainTextEdit12setPlainTextERK7QString");
    f(this, text);
}
void QWidget::update() {
    tally(kUpdate);
    static auto f = qtOwn<void (*)(QWidget*)>("_ZN7QWidget6updateEv");
    f(this);
}
void QTimer::start() {
    tally(kTimerStart);
    static auto f = qtOwn<void (*)(QTimer*)>("_ZN6QTimer5startEv");
    f(this);
}
void QTimer::start(int msec) {
    tally(kTimerStartMs);
    static auto f = qtOwn<void (*)(QTimer*, int)>("_ZN6QTimer5startEi");
    f(this, msec);
}
