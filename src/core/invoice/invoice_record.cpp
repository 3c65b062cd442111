#include "invoice/invoice_record.h"

namespace tarvela {

bool InvoiceItemRow::isEmpty() const {
    return Kod.isEmpty() && Dodavka.isEmpty() && MJ.isEmpty() && PocetMJ.isEmpty() &&
           Cena.isEmpty() && DPH.isEmpty();
}

QString& InvoiceItemRow::cell(int index) {
    return const_cast<QString&>(static_cast<const InvoiceItemRow*>(this)->cell(index));
}

const QString& InvoiceItemRow::cell(int index) const {
    switch (index) {
    case 0:
        return Kod;
    case 1:
        return Dodavka;
    case 2:
        return MJ;
    case 3:
        return PocetMJ;
    case 4:
        return Cena;
    default:
        return DPH;
    }
}

QString ItemRowText(const InvoiceItemRow& row) {
    QString text;
    text.reserve(row.Kod.size() + row.Dodavka.size() + row.MJ.size() + row.PocetMJ.size() +
                 row.Cena.size() + row.DPH.size() + kItemCellCount);
    for (int i = 0; i < kItemCellCount; ++i) {
        text += row.cell(i);
        text += QLatin1Char('|');
    }
    return text;
}

void FillItemRowFromLine(QStringView line, InvoiceItemRow& row) {
    qsizetype start = 0;
    for (int cell = 0; cell < kItemCellCount; ++cell) {
        const qsizetype bar = line.indexOf(QLatin1Char('|'), start);
        if (bar < 0)
            return;
        row.cell(cell) = line.mid(start, bar - start).toString();
        start = bar + 1;
    }
}

} // namespace tarvela
