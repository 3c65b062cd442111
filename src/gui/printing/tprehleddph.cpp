#include "printing/tprehleddph.h"
#include "ui_tprehleddph.h"

#include "printing/period_choice.h"
#include "text/form_font.h"

namespace tarvela {

namespace {

PeriodControls Controls(const Ui::TPrehledDPH& ui) {
    return PeriodControls{ui.CBox_Rok,     ui.RB_Mesic,       ui.CBox_Mesic,
                          ui.RB_Ctvrtleti, ui.CBox_Ctvrtleti, nullptr};
}

} // namespace

TPrehledDPH::TPrehledDPH(const QList<int>& years, int year, QWidget* owner)
    : QDialog(owner), ui_(std::make_unique<Ui::TPrehledDPH>()) {
    ui_->setupUi(this);
    SetUpFixedDialog(this);
    SetUpPeriodControls(Controls(*ui_), years, year);
    connect(ui_->Tl_Ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui_->Tl_Storno, &QPushButton::clicked, this, &QDialog::reject);
    ui_->CBox_Mesic->setFocus();
}

TPrehledDPH::~TPrehledDPH() = default;

int TPrehledDPH::Year() const {
    return ChosenYear(Controls(*ui_));
}

std::pair<QDate, QDate> TPrehledDPH::Period() const {
    return ChosenPeriod(Controls(*ui_));
}

bool TPrehledDPH::SaveCsv() const {
    return ui_->CB_Csv->isChecked();
}

} // namespace tarvela
