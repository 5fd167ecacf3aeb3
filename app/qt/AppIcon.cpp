#include "app/qt/AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace qoxa::qt {

namespace {

// Drawn on a 64-unit grid and scaled to the requested size: a blue rounded tile with white
// braces and three orange dots joined like tree items.
QPixmap PaintIcon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 64.0, size / 64.0);

  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(31, 97, 176));
  painter.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);

  QPen bracePen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  painter.setPen(bracePen);
  painter.setBrush(Qt::NoBrush);
  QPainterPath left;
  left.moveTo(22, 12);
  left.cubicTo(14, 12, 17, 28, 11, 32);
  left.cubicTo(17, 36, 14, 52, 22, 52);
  painter.drawPath(left);
  QPainterPath right;
  right.moveTo(42, 12);
  right.cubicTo(50, 12, 47, 28, 53, 32);
  right.cubicTo(47, 36, 50, 52, 42, 52);
  painter.drawPath(right);

  painter.setPen(QPen(QColor(255, 183, 77), 2.5));
  painter.drawLine(QPointF(28, 22), QPointF(28, 42));
  painter.drawLine(QPointF(28, 32), QPointF(36, 32));
  painter.drawLine(QPointF(28, 42), QPointF(36, 42));
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 183, 77));
  painter.drawEllipse(QPointF(28, 22), 4, 4);
  painter.drawEllipse(QPointF(37, 32), 3.5, 3.5);
  painter.drawEllipse(QPointF(37, 42), 3.5, 3.5);
  return pixmap;
}

}  // namespace

QIcon AppIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128}) icon.addPixmap(PaintIcon(size));
  return icon;
}

}  // namespace qoxa::qt
