#pragma once

#include <QObject>
#include <QSizeF>
#include <QString>
#include <QTextObjectInterface>

#include <vector>

class QTextDocument;

namespace tarvela::prm1 {

// The modules of a QR code, row by row, without the quiet zone.
struct QrMatrix {
    int size = 0;
    std::vector<bool> dark;
    bool isDark(int x, int y) const { return dark[static_cast<size_t>(y * size + x)]; }
};

// Encodes a text (UTF-8, error correction level M). An empty matrix when the text is empty or
// too long for a QR code.
QrMatrix EncodeQr(const QString& text);

// The image name that templates use for the QR code: <img src="prm1:qrcode" width="120">.
inline constexpr const char* kQrImageName = "prm1:qrcode";

// Draws the QR code of the report where the template put its image. The code is drawn as
// filled squares (sharp at any resolution) with a quiet zone of four modules, and at a size
// fixed on paper: the image's width in CSS pixels (1/96 inch), never below 25 mm, 30 mm when
// the template gives none.
class QrTextObject : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    static constexpr int kObjectType = QTextFormat::UserObject + 1;
    static constexpr int kSizeProperty = QTextFormat::UserProperty + 1; // side in mm
    static constexpr double kMinimumMm = 25.0;
    static constexpr double kDefaultMm = 30.0;

    explicit QrTextObject(QrMatrix matrix) : matrix_(std::move(matrix)) {}

    // Registers the handler with the document's layout and turns every "prm1:qrcode" image of
    // the document into this object. Call after the HTML is set.
    void install(QTextDocument& document);

    QSizeF intrinsicSize(QTextDocument* doc, int posInDocument, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* doc, int posInDocument,
                    const QTextFormat& format) override;

private:
    QrMatrix matrix_;
};

} // namespace tarvela::prm1
