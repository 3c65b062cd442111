// The address book of customers and the look-up of a customer in the business register.
#include "app/invoice_binding.h"
#include "app/thlavni.h"
#include "app/thlavni_ui.h"
#include "text/message_boxes.h"

#include "editor/ares_lookup.h"
#include "editor/id_checks.h"
#include "editor/picker_files.h"
#include "editor/todberatele.h"

#include "invoice/file_lines.h"
#include "invoice/invoice_file.h"
#include "invoice/invoice_store.h"

#include <QDir>
#include <QLineEdit>
#include <QStatusBar>

namespace tarvela {

void THlavni::Akce_OdberateleExecute() {
    if (!InvoiceOpen())
        return;
    TOdberatele book(ProgramFolder, this);
    if (book.exec() != QDialog::Accepted)
        return;
    const std::optional<CustomerEntry> chosen = book.SelectedCustomer();
    if (!chosen)
        return;
    const QString email = chosen->FileName.isEmpty()
                              ? QString()
                              : CustomerEmailLine(FileLines::ReadFile(
                                    QDir(InvoiceStore(ProgramFolder).PeriodFolder(chosen->Year))
                                        .filePath(chosen->FileName)));
    for (int i = 0; i < kCustomerFieldCount; ++i)
        (ui_.get()->*kCustomerEdits[i])->setText(chosen->Fields[static_cast<size_t>(i)]);
    ui_->Ed_OdberatelEmail->setText(email);
    UpdateActions();
}

void THlavni::Tl_NacistZAresClick() {
    if (!aresLookup_) {
        aresLookup_ = new AresLookup(this, ProgramFolder);
        ConnectGuarded(aresLookup_, &AresLookup::found, this, [this](const AresSubject& found) {
            if (!InvoiceOpen())
                return;
            ui_->Ed_Od2->setText(found.Nazev);
            ui_->Ed_Od5->setText(found.UliceCislo);
            ui_->Ed_Od6->setText(found.PSC);
            ui_->Ed_Od7->setText(found.Mesto);
            ui_->Ed_Od9->setText(found.DIC);
            statusBar()->showMessage(
                QStringLiteral("Údaje odběratele byly načteny z registru ARES."), 5000);
        });
    }
    const bool asked = aresLookup_->Start(ui_->Ed_Od8->text());
    // A refused IČ has just been explained: leaving the field does not warn about it again.
    if (!asked)
        MarkIdWarned(ui_->Ed_Od8);
}

} // namespace tarvela
