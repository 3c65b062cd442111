#include "qr_code.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <qrencode.h>

#include <memory>

namespace tarvela::prm1 {

QrMatrix EncodeQr(const QString& text) {
    QrMatrix matrix;
    if (text.isEmpty())
        return matrix;
    const QByteArray utf8 = text.toUtf8();
    std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString(utf8.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), &QRcode_free);
    if (!code)
        return matrix;
    matrix.size = code->width;
    matrix.dark.resize(static_cast<size_t>(code->width) * static_cast<size_t>(code->width));
    for (size_t i = 0; i < matrix.dark.size(); ++i)
        matrix.dark[i] = (code->data[i] & 1) != 0;
    return matrix;
}

void QrTextObject::install(QTextDocument& document) {
    document.documentLayout()->registerHandler(kObjectType, this);
    // Collect first: changing formats while walking the fragments would invalidate the walk.
    QList<std::pair<int, double>> found;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (!format.isImageFormat() || format.toImageFormat().name() != kQrImageName)
                continue;
            const QTextImageFormat image = format.toImageFormat();
            double mm = image.hasProperty(QTextFormat::ImageWidth) ? image.width() * 25.4 / 96.0
                                                                   : kDefaultMm;
            mm = std::max(mm, kMinimumMm);
            for (int i = 0; i < fragment.length(); ++i)
                found.append({fragment.position() + i, mm});
        }
    }
    for (const auto& [position, mm] : found) {
        QTextCursor cursor(&document);
        cursor.setPosition(position);
        cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setObjectType(kObjectType);
        format.setProperty(kSizeProperty, mm);
        cursor.setCharFormat(format);
    }
}

QSizeF QrTextObject::intrinsicSize(QTextDocument* doc, int, const QTextFormat& format) {
    const QPaintDevice* device = doc->documentLayout()->paintDevice();
    const double dpi = device != nullptr ? device->logicalDpiX() : 96.0;
    const double side = format.doubleProperty(kSizeProperty) / 25.4 * dpi;
    return QSizeF(side, side);
}

void QrTextObject::drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int,
                              const QTextFormat&) {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->fillRect(rect, Qt::white);
    if (matrix_.size > 0) {
        const int quiet = 4;
        const double module = rect.width() / (matrix_.size + 2 * quiet);
        QPainterPath path;
        for (int y = 0; y < matrix_.size; ++y) {
            int x = 0;
            while (x < matrix_.size) {
                if (!matrix_.isDark(x, y)) {
                    ++x;
                    continue;
                }
                const int start = x;
                while (x < matrix_.size && matrix_.isDark(x, y))
                    ++x;
                // Runs overlap their neighbours by a hair so no seams show between them.
                path.addRect(QRectF(rect.left() + (quiet + start) * module,
                                    rect.top() + (quiet + y) * module, (x - start) * module,
                                    module * 1.02));
            }
        }
        path.setFillRule(Qt::WindingFill);
        painter->fillPath(path, Qt::black);
    }
    painter->restore();
}

} // namespace tarvela::prm1
