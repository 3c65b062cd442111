#include "printing/texportucetni.h"
#include "ui_texportucetni.h"

#include "printing/period_choice.h"
#include "text/file_dialogs.h"
#include "text/form_font.h"
#include "text/message_boxes.h"

#include <QDir>

namespace tarvela {

namespace {

PeriodControls Controls(const Ui::TExportUcetni& ui) {
    return PeriodControls{ui.CBox_Rok,     ui.RB_Mesic,       ui.CBox_Mesic,
                          ui.RB_Ctvrtleti, ui.CBox_Ctvrtleti, ui.RB_CelyRok};
}

// The check box of each kind that has an e-invoice, in the order of the form.
struct KindBox {
    QCheckBox* Ui::TExportUcetni::*box;
    DocumentKind kind;
};
constexpr KindBox kKindBoxes[] = {
    {&Ui::TExportUcetni::CB_Faktura, DocumentKind::Faktura},
    {&Ui::TExportUcetni::CB_Proforma, DocumentKind::ProformaFaktura},
    {&Ui::TExportUcetni::CB_DanovyDoklad, DocumentKind::DanovyDoklad},
    {&Ui::TExportUcetni::CB_Dobropis, DocumentKind::Dobropis},
    {&Ui::TExportUcetni::CB_PrijmovyDoklad, DocumentKind::PrijmovyDokladSRozpisem},
};

} // namespace

TExportUcetni::TExportUcetni(const QList<int>& years, int year, const QString& folder,
                             QWidget* owner)
    : QDialog(owner), ui_(std::make_unique<Ui::TExportUcetni>()) {
    ui_->setupUi(this);
    SetUpFixedDialog(this);
    SetUpPeriodControls(Controls(*ui_), years, year);
    ui_->Ed_Slozka->setText(QDir::toNativeSeparators(folder));
    ConnectGuarded(ui_->Tl_Prochazet, &QPushButton::clicked, this,
                   &TExportUcetni::Tl_ProchazetClick);
    ConnectGuarded(ui_->Tl_Ok, &QPushButton::clicked, this, &TExportUcetni::Tl_OkClick);
    connect(ui_->Tl_Storno, &QPushButton::clicked, this, &QDialog::reject);
    ui_->CBox_Mesic->setFocus();
}

TExportUcetni::~TExportUcetni() = default;

int TExportUcetni::Year() const {
    return ChosenYear(Controls(*ui_));
}

std::pair<QDate, QDate> TExportUcetni::Period() const {
    return ChosenPeriod(Controls(*ui_));
}

QList<DocumentKind> TExportUcetni::Kinds() const {
    QList<DocumentKind> kinds;
    for (const KindBox& k : kKindBoxes) {
        if ((ui_.get()->*k.box)->isChecked())
            kinds.append(k.kind);
    }
    return kinds;
}

QString TExportUcetni::Folder() const {
    return ui_->Ed_Slozka->text().trimmed();
}

void TExportUcetni::Tl_ProchazetClick() {
    const QString chosen = AskFolder(this, QStringLiteral("Cílová složka"), Folder());
    if (!chosen.isEmpty())
        ui_->Ed_Slozka->setText(QDir::toNativeSeparators(chosen));
}

void TExportUcetni::Tl_OkClick() {
    if (Folder().isEmpty()) {
        ShowInfo(QStringLiteral("Zadejte cílovou složku exportu."));
        ui_->Ed_Slozka->setFocus();
        return;
    }
    accept();
}

} // namespace tarvela
