#include "app/images.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <QtMath>

#include <functional>

namespace tarvela {

namespace {

const QColor kOutline(60, 60, 60);
const QColor kPaper(255, 255, 255);
const QColor kFolder(232, 184, 56);
const QColor kFolderDark(176, 128, 24);
const QColor kBlue(40, 84, 160);
const QColor kGreen(30, 140, 50);
const QColor kRed(200, 30, 30);

QPixmap Draw(const std::function<void(QPainter&)>& paint) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    paint(p);
    return pixmap;
}

// A sheet of paper with a folded top-right corner.
void Page(QPainter& p, int x, int y, int w, int h) {
    QPolygon sheet;
    sheet << QPoint(x, y) << QPoint(x + w - 4, y) << QPoint(x + w, y + 4) << QPoint(x + w, y + h)
          << QPoint(x, y + h);
    p.setPen(kOutline);
    p.setBrush(kPaper);
    p.drawPolygon(sheet);
    p.drawLine(x + w - 4, y, x + w - 4, y + 4);
    p.drawLine(x + w - 4, y + 4, x + w, y + 4);
}

// Lines of text on a page.
void TextLines(QPainter& p, int x, int y, int w, int count, int step = 2) {
    p.setPen(QColor(120, 120, 120));
    for (int i = 0; i < count; ++i)
        p.drawLine(x, y + i * step, x + w, y + i * step);
}

void Cross(QPainter& p, int x, int y, int size, const QColor& colour) {
    QPen pen(colour, 2);
    p.setPen(pen);
    p.drawLine(x, y, x + size, y + size);
    p.drawLine(x + size, y, x, y + size);
}

void Arrow(QPainter& p, bool up) {
    QPolygon arrow;
    if (up)
        arrow << QPoint(8, 1) << QPoint(14, 8) << QPoint(10, 8) << QPoint(10, 14) << QPoint(6, 14)
              << QPoint(6, 8) << QPoint(2, 8);
    else
        arrow << QPoint(8, 14) << QPoint(14, 7) << QPoint(10, 7) << QPoint(10, 1) << QPoint(6, 1)
              << QPoint(6, 7) << QPoint(2, 7);
    p.setPen(QColor(20, 90, 30));
    p.setBrush(kGreen);
    p.drawPolygon(arrow);
}

QPixmap NewInvoice() {
    return Draw([](QPainter& p) {
        Page(p, 2, 1, 11, 14);
        TextLines(p, 4, 6, 6, 4);
        // A small yellow star: the sheet is new.
        p.setPen(QColor(200, 140, 0));
        p.setBrush(QColor(255, 220, 40));
        p.drawEllipse(QPoint(12, 12), 3, 3);
    });
}

QPixmap OpenInvoice() {
    return Draw([](QPainter& p) {
        p.setPen(kFolderDark);
        p.setBrush(kFolderDark);
        p.drawRect(1, 4, 12, 10);
        p.drawRect(1, 3, 5, 1);
        QPolygon front;
        front << QPoint(3, 7) << QPoint(15, 7) << QPoint(12, 14) << QPoint(1, 14);
        p.setPen(kFolderDark);
        p.setBrush(kFolder);
        p.drawPolygon(front);
    });
}

QPixmap CloseInvoice() {
    return Draw([](QPainter& p) {
        Page(p, 1, 1, 10, 13);
        TextLines(p, 3, 5, 5, 4);
        Cross(p, 9, 9, 5, kRed);
    });
}

QPixmap SaveInvoice() {
    return Draw([](QPainter& p) {
        p.setPen(QColor(20, 40, 90));
        p.setBrush(kBlue);
        QPolygon disk;
        disk << QPoint(1, 1) << QPoint(13, 1) << QPoint(14, 2) << QPoint(14, 14) << QPoint(1, 14);
        p.drawPolygon(disk);
        p.setPen(Qt::NoPen);
        p.setBrush(kPaper);
        p.drawRect(4, 2, 7, 5); // label
        p.setBrush(QColor(190, 190, 190));
        p.drawRect(4, 10, 7, 4); // shutter
        p.setBrush(kBlue);
        p.drawRect(8, 11, 2, 2);
    });
}

QPixmap Printer() {
    return Draw([](QPainter& p) {
        p.setPen(kOutline);
        p.setBrush(kPaper);
        p.drawRect(4, 1, 8, 5); // paper in
        p.setBrush(QColor(170, 170, 170));
        p.drawRect(1, 6, 14, 6); // body
        p.setBrush(kPaper);
        p.drawRect(4, 10, 8, 5); // paper out
        p.setPen(kGreen);
        p.drawPoint(13, 8);
        TextLines(p, 5, 12, 6, 2);
    });
}

QPixmap EditItem() {
    return Draw([](QPainter& p) {
        Page(p, 1, 1, 10, 14);
        TextLines(p, 3, 5, 5, 4);
        // A pencil across the page.
        p.setRenderHint(QPainter::Antialiasing, true);
        QPen body(QColor(230, 160, 20), 3);
        body.setCapStyle(Qt::FlatCap);
        p.setPen(body);
        p.drawLine(QPointF(14.5, 3.5), QPointF(7.5, 10.5));
        p.setPen(QPen(kOutline, 1.5));
        p.drawLine(QPointF(7.5, 10.5), QPointF(5.5, 12.5));
    });
}

QPixmap CopyItem() {
    return Draw([](QPainter& p) {
        Page(p, 1, 1, 8, 10);
        TextLines(p, 3, 5, 3, 3);
        Page(p, 6, 5, 8, 10);
        TextLines(p, 8, 9, 3, 3);
    });
}

QPixmap PasteItem() {
    return Draw([](QPainter& p) {
        p.setPen(QColor(110, 70, 20));
        p.setBrush(QColor(170, 120, 50));
        p.drawRect(1, 2, 10, 13); // clipboard
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(4, 1, 4, 2); // clip
        Page(p, 6, 6, 8, 9);
        TextLines(p, 8, 10, 3, 3);
    });
}

QPixmap DeleteItem() {
    return Draw([](QPainter& p) {
        // A table row struck out.
        p.setPen(kOutline);
        p.setBrush(kPaper);
        p.drawRect(1, 5, 14, 6);
        p.drawLine(5, 5, 5, 11);
        Cross(p, 5, 3, 9, kRed);
    });
}

QPixmap Reports() {
    return Draw([](QPainter& p) {
        Page(p, 1, 1, 13, 14);
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawRect(4, 9, 2, 5);
        p.setBrush(kGreen);
        p.drawRect(7, 6, 2, 8);
        p.setBrush(kRed);
        p.drawRect(10, 10, 2, 4);
    });
}

QPixmap Settings() {
    return Draw([](QPainter& p) {
        // A cog wheel.
        p.setRenderHint(QPainter::Antialiasing, true);
        QPainterPath cog;
        const QPointF c(8, 8);
        for (int i = 0; i < 8; ++i) {
            const double a = i * M_PI / 4;
            const QPointF d(qCos(a), qSin(a));
            const QPointF n(-d.y(), d.x());
            QPolygonF tooth;
            tooth << c + d * 4 + n * 1.5 << c + d * 7.5 + n * 1.3 << c + d * 7.5 - n * 1.3
                  << c + d * 4 - n * 1.5;
            cog.addPolygon(tooth);
        }
        cog.addEllipse(c, 5.5, 5.5);
        cog.setFillRule(Qt::WindingFill);
        p.setPen(QPen(QColor(60, 60, 70), 0.8));
        p.setBrush(QColor(140, 145, 160));
        p.drawPath(cog.simplified());
        p.setBrush(kPaper);
        p.drawEllipse(c, 2.2, 2.2);
    });
}

QPixmap Help() {
    return Draw([](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QColor(20, 50, 120));
        p.setBrush(QColor(50, 110, 210));
        p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
        QFont f;
        f.setPixelSize(12);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
    });
}

QPixmap Exit() {
    return Draw([](QPainter& p) {
        // A door with an arrow leaving it.
        p.setPen(QColor(90, 50, 20));
        p.setBrush(QColor(160, 100, 50));
        p.drawRect(1, 1, 8, 14);
        p.setPen(QColor(240, 220, 120));
        p.drawPoint(7, 8);
        QPolygon arrow;
        arrow << QPoint(15, 8) << QPoint(11, 4) << QPoint(11, 6) << QPoint(6, 6) << QPoint(6, 10)
              << QPoint(11, 10) << QPoint(11, 12);
        p.setPen(QColor(140, 20, 20));
        p.setBrush(kRed);
        p.drawPolygon(arrow);
    });
}

QPixmap ItemUp() {
    return Draw([](QPainter& p) { Arrow(p, true); });
}

QPixmap ItemDown() {
    return Draw([](QPainter& p) { Arrow(p, false); });
}

QPixmap ChangePeriod() {
    return Draw([](QPainter& p) {
        // A calendar sheet.
        p.setPen(kOutline);
        p.setBrush(kPaper);
        p.drawRect(1, 2, 14, 13);
        p.setPen(Qt::NoPen);
        p.setBrush(kRed);
        p.drawRect(2, 3, 13, 3);
        p.setPen(kOutline);
        p.drawLine(4, 1, 4, 3);
        p.drawLine(12, 1, 12, 3);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(90, 90, 90));
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 4; ++col)
                p.drawRect(3 + col * 3, 7 + row * 3, 2, 2);
    });
}

} // namespace

QList<QIcon> CreateActionImages() {
    const QList<QPixmap> pixmaps = {NewInvoice(), OpenInvoice(), CloseInvoice(), SaveInvoice(),
                                    Printer(),    EditItem(),    CopyItem(),     PasteItem(),
                                    DeleteItem(), Reports(),     Settings(),     Help(),
                                    Exit(),       ItemUp(),      ItemDown(),     ChangePeriod()};
    QList<QIcon> icons;
    for (const QPixmap& pixmap : pixmaps)
        icons.append(QIcon(pixmap));
    return icons;
}

} // namespace tarvela
