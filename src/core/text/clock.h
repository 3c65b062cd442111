#pragma once

#include <QDate>

namespace tarvela {

// The one source of today's date: the system date, unless a test has fixed it.
QDate Today();

// Fixes Today() to the given date until ResetTodayForTests() (or a null date) is passed.
void SetTodayForTests(const QDate& date);
void ResetTodayForTests();

// Fixes Today() for the lifetime of the object and restores the previous setting afterwards.
class ScopedToday {
public:
    explicit ScopedToday(const QDate& date);
    ~ScopedToday();
    ScopedToday(const ScopedToday&) = delete;
    ScopedToday& operator=(const ScopedToday&) = delete;

private:
    QDate previous_;
};

} // namespace tarvela
