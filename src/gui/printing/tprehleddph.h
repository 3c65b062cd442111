#pragma once

#include <QDate>
#include <QDialog>
#include <QList>

#include <memory>
#include <utility>

namespace Ui {
class TPrehledDPH;
}

namespace tarvela {

// The choice of the VAT summary: the year, a month or a quarter, and whether the summary is also
// saved as CSV. It only chooses; the main window sums and prints.
class TPrehledDPH : public QDialog {
    Q_OBJECT
public:
    // years: the periods there are; year: the one preselected.
    TPrehledDPH(const QList<int>& years, int year, QWidget* owner = nullptr);
    ~TPrehledDPH() override;

    int Year() const;
    std::pair<QDate, QDate> Period() const;
    bool SaveCsv() const;

private:
    std::unique_ptr<Ui::TPrehledDPH> ui_;
};

} // namespace tarvela
