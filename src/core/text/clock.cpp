#include "text/clock.h"

namespace tarvela {
namespace {

QDate& FixedToday() {
    static QDate fixed;
    return fixed;
}

} // namespace

QDate Today() {
    const QDate& fixed = FixedToday();
    return fixed.isValid() ? fixed : QDate::currentDate();
}

void SetTodayForTests(const QDate& date) {
    FixedToday() = date;
}

void ResetTodayForTests() {
    FixedToday() = QDate();
}

ScopedToday::ScopedToday(const QDate& date) : previous_(FixedToday()) {
    SetTodayForTests(date);
}

ScopedToday::~ScopedToday() {
    SetTodayForTests(previous_);
}

} // namespace tarvela
