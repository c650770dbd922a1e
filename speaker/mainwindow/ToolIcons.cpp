#include "ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace sonvela {
namespace {

const QColor kInk(40, 60, 90);
const QColor kGreen(30, 140, 70);
const QColor kRed(200, 50, 40);
const QColor kBlue(40, 100, 200);
const QColor kPaper(250, 250, 245);
const QColor kGold(220, 170, 40);

QPolygonF Triangle(qreal x, qreal y, qreal w, qreal h, bool right = true) {
    if (right)
        return QPolygonF({QPointF(x, y), QPointF(x + w, y + h / 2), QPointF(x, y + h)});
    return QPolygonF({QPointF(x + w, y), QPointF(x, y + h / 2), QPointF(x + w, y + h)});
}

void Page(QPainter& p) {
    QPainterPath page;
    page.moveTo(5, 2);
    page.lineTo(15, 2);
    page.lineTo(20, 7);
    page.lineTo(20, 22);
    page.lineTo(5, 22);
    page.closeSubpath();
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kPaper);
    p.drawPath(page);
    p.drawLine(QPointF(15, 2), QPointF(15, 7));
    p.drawLine(QPointF(15, 7), QPointF(20, 7));
}

void TextLines(QPainter& p, qreal x, qreal y, int n, qreal w) {
    p.setPen(QPen(kInk, 1.2));
    for (int i = 0; i < n; ++i)
        p.drawLine(QPointF(x, y + i * 3.0), QPointF(x + w, y + i * 3.0));
}

void LoopArrows(QPainter& p, const QColor& color) {
    p.setPen(QPen(color, 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(4, 5, 16, 14), 30 * 16, 150 * 16);
    p.drawArc(QRectF(4, 5, 16, 14), 210 * 16, 150 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPolygon(QPolygonF({QPointF(17, 2), QPointF(22, 8), QPointF(15, 9)}));
    p.drawPolygon(QPolygonF({QPointF(7, 22), QPointF(2, 16), QPointF(9, 15)}));
}

void Folder(QPainter& p) {
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kGold);
    QPainterPath f;
    f.moveTo(2, 6);
    f.lineTo(9, 6);
    f.lineTo(11, 8);
    f.lineTo(21, 8);
    f.lineTo(21, 20);
    f.lineTo(2, 20);
    f.closeSubpath();
    p.drawPath(f);
}

void Magnifier(QPainter& p) {
    p.setPen(QPen(kInk, 2));
    p.setBrush(QColor(200, 230, 250));
    p.drawEllipse(QRectF(3, 3, 12, 12));
    p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(14, 14), QPointF(21, 21));
}

void Paint(QPainter& p, Pictogram kind) {
    switch (kind) {
    case Pictogram::New:
        Page(p);
        p.setPen(QPen(kGreen, 2.4));
        p.drawLine(QPointF(17, 14), QPointF(17, 22));
        p.drawLine(QPointF(13, 18), QPointF(21, 18));
        break;
    case Pictogram::Open:
        Folder(p);
        p.setPen(QPen(kBlue, 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 17), QPointF(12, 10));
        p.setPen(Qt::NoPen);
        p.setBrush(kBlue);
        p.drawPolygon(QPolygonF({QPointF(8, 11), QPointF(12, 6), QPointF(16, 11)}));
        break;
    case Pictogram::Save:
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kBlue);
        p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
        p.setBrush(kPaper);
        p.drawRect(QRectF(6, 3, 12, 7));
        p.setBrush(QColor(220, 220, 220));
        p.drawRect(QRectF(7, 14, 10, 7));
        break;
    case Pictogram::ReadFromStart:
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawRect(QRectF(4, 4, 3, 16));
        p.drawPolygon(Triangle(9, 4, 12, 16));
        break;
    case Pictogram::ReadHere:
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawPolygon(Triangle(6, 3, 14, 18));
        break;
    case Pictogram::Stop:
        p.setPen(Qt::NoPen);
        p.setBrush(kRed);
        p.drawRoundedRect(QRectF(5, 5, 14, 14), 2, 2);
        break;
    case Pictogram::LoopAll:
        LoopArrows(p, kGreen);
        break;
    case Pictogram::LoopRange:
        LoopArrows(p, kBlue);
        p.setPen(QPen(kInk, 1.6));
        p.drawLine(QPointF(9, 9), QPointF(9, 15));
        p.drawLine(QPointF(15, 9), QPointF(15, 15));
        p.drawLine(QPointF(9, 12), QPointF(15, 12));
        break;
    case Pictogram::ToTop:
    case Pictogram::ToEnd: {
        const bool up = kind == Pictogram::ToTop;
        p.setPen(QPen(kInk, 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(4, up ? 4 : 20), QPointF(20, up ? 4 : 20));
        p.drawLine(QPointF(12, up ? 9 : 4), QPointF(12, up ? 20 : 15));
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        if (up)
            p.drawPolygon(QPolygonF({QPointF(6, 13), QPointF(12, 7), QPointF(18, 13)}));
        else
            p.drawPolygon(QPolygonF({QPointF(6, 11), QPointF(12, 17), QPointF(18, 11)}));
        break;
    }
    case Pictogram::Settings: {
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.translate(12, 12);
        for (int i = 0; i < 8; ++i) {
            p.drawRect(QRectF(-2, -10, 4, 5));
            p.rotate(45);
        }
        p.drawEllipse(QPointF(0, 0), 7, 7);
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(0, 0), 3, 3);
        break;
    }
    case Pictogram::InsertDate:
        p.setPen(QPen(kInk, 1.4));
        p.setBrush(kPaper);
        p.drawEllipse(QRectF(3, 3, 18, 18));
        p.setPen(QPen(kRed, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(12, 12), QPointF(12, 6));
        p.drawLine(QPointF(12, 12), QPointF(16, 14));
        break;
    case Pictogram::Schedule:
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(kPaper);
        p.drawRect(QRectF(3, 5, 18, 16));
        p.setBrush(kRed);
        p.drawRect(QRectF(3, 5, 18, 4));
        p.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 3), QPointF(8, 7));
        p.drawLine(QPointF(16, 3), QPointF(16, 7));
        p.setPen(QPen(kGreen, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(8, 15), QPointF(11, 18));
        p.drawLine(QPointF(11, 18), QPointF(17, 12));
        break;
    case Pictogram::Panel:
        p.setPen(QPen(kInk, 1.4));
        p.setBrush(kPaper);
        p.drawRect(QRectF(3, 4, 18, 16));
        p.setBrush(QColor(192, 220, 192));
        p.drawRect(QRectF(14, 4, 7, 16));
        TextLines(p, 5, 8, 4, 7);
        break;
    case Pictogram::Close:
    case Pictogram::SmallClose:
        p.setPen(QPen(kind == Pictogram::Close ? kRed : kInk, 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(6, 6), QPointF(18, 18));
        p.drawLine(QPointF(18, 6), QPointF(6, 18));
        break;
    case Pictogram::Next:
    case Pictogram::Previous: {
        const bool next = kind == Pictogram::Next;
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawPolygon(Triangle(next ? 3 : 9, 5, 12, 14, next));
        p.drawRect(QRectF(next ? 17 : 4, 5, 3, 14));
        break;
    }
    case Pictogram::Folder:
        Folder(p);
        break;
    case Pictogram::Expand:
    case Pictogram::Collapse: {
        const bool down = kind == Pictogram::Expand;
        p.setPen(QPen(kInk, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        if (down)
            p.drawPolyline(QPolygonF({QPointF(5, 8), QPointF(12, 16), QPointF(19, 8)}));
        else
            p.drawPolyline(QPolygonF({QPointF(5, 16), QPointF(12, 8), QPointF(19, 16)}));
        break;
    }
    case Pictogram::Find:
        Magnifier(p);
        break;
    case Pictogram::FindReplace:
    case Pictogram::ReplaceAll:
        Magnifier(p);
        p.setPen(QPen(kind == Pictogram::FindReplace ? kGreen : kRed, 2.2));
        p.drawLine(QPointF(15, 4), QPointF(22, 4));
        p.drawLine(QPointF(15, 8), QPointF(22, 8));
        break;
    case Pictogram::Application:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 128, 128));
        p.drawRoundedRect(QRectF(1, 1, 22, 22), 5, 5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5, 9, 4, 6));
        p.drawPolygon(QPolygonF({QPointF(9, 9), QPointF(14, 4), QPointF(14, 20), QPointF(9, 15)}));
        p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(12, 7, 6, 10), -60 * 16, 120 * 16);
        p.drawArc(QRectF(12, 4, 10, 16), -60 * 16, 120 * 16);
        break;
    }
}

} // namespace

QIcon PictogramIcon(Pictogram kind, int size) {
    QIcon icon;
    for (const int scale : {1, 2}) {
        QPixmap pixmap(size * scale, size * scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size * scale / 24.0, size * scale / 24.0);
        Paint(painter, kind);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace sonvela
