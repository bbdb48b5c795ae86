#include "view/Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <array>

namespace {

constexpr int kFirstPicture = IDB_BLUETOOTH_OFF;
constexpr int kLastPicture = IDB_IDLE;

const QColor kGreen(36, 150, 70);
const QColor kPink(236, 96, 150);
const QColor kRed(225, 45, 45);
const QColor kBlue(40, 120, 240);

// A rounded tile of a colour, a little lighter at the top, on the black of the screen.
void DrawTile(QPainter& p, const QRectF& area, const QColor& colour, qreal radius) {
    QLinearGradient shade(area.topLeft(), area.bottomLeft());
    shade.setColorAt(0.0, colour.lighter(125));
    shade.setColorAt(1.0, colour);
    p.setPen(Qt::NoPen);
    p.setBrush(shade);
    p.drawRoundedRect(area, radius, radius);
}

// A pictogram person in an 80 x 80 frame: round head, a thick stroke for the trunk and two joints
// for each limb. Seen from the side, the limbs named "far" are behind the body and drawn a little
// darker; seen from the front, the body is broader and both sides alike.
struct Pose {
    bool bFront;
    QPointF head;
    QPointF neck;
    QPointF hip;
    std::array<QPointF, 2> nearArm; // elbow, hand
    std::array<QPointF, 2> farArm;
    std::array<QPointF, 2> nearLeg; // knee, foot
    std::array<QPointF, 2> farLeg;
};

void DrawLimb(QPainter& p, const QPointF& from, const std::array<QPointF, 2>& joints) {
    QPainterPath path(from);
    path.lineTo(joints[0]);
    path.lineTo(joints[1]);
    p.drawPath(path);
}

void DrawFigure(QPainter& p, const Pose& pose, const QColor& tile) {
    const QColor body(255, 255, 255);
    const float shade = pose.bFront ? 0.0F : 0.25F;
    const QColor far = QColor::fromRgbF((1 - shade) * body.redF() + shade * tile.redF(),
                                        (1 - shade) * body.greenF() + shade * tile.greenF(),
                                        (1 - shade) * body.blueF() + shade * tile.blueF());
    const QPointF shoulder = pose.neck + (pose.hip - pose.neck) * 0.1;
    QPen limb(far, 7.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setBrush(Qt::NoBrush);
    p.setPen(limb);
    DrawLimb(p, shoulder, pose.farArm);
    DrawLimb(p, pose.hip, pose.farLeg);
    limb.setColor(body);
    limb.setWidthF(pose.bFront ? 12.0 : 9.0);
    p.setPen(limb);
    p.drawLine(pose.neck, pose.hip);
    limb.setWidthF(7.0);
    p.setPen(limb);
    DrawLimb(p, pose.hip, pose.nearLeg);
    DrawLimb(p, shoulder, pose.nearArm);
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawEllipse(pose.head, 7.5, 7.5);
}

const Pose kStanding{true,
                     {40, 14},
                     {40, 26},
                     {40, 46},
                     {{{48, 35}, {51, 46}}},
                     {{{32, 35}, {29, 46}}},
                     {{{44, 58}, {45, 71}}},
                     {{{36, 58}, {35, 71}}}};
const Pose kWalking{false,
                    {42, 14},
                    {41, 25},
                    {39, 47},
                    {{{46, 35}, {51, 44}}},
                    {{{35, 35}, {30, 43}}},
                    {{{45, 59}, {50, 71}}},
                    {{{36, 59}, {28, 70}}}};
const Pose kRunning{false,
                    {48, 13},
                    {45, 23},
                    {36, 44},
                    {{{54, 31}, {61, 24}}},
                    {{{34, 31}, {26, 37}}},
                    {{{50, 52}, {49, 67}}},
                    {{{29, 57}, {16, 58}}}};
// Right hand at the mouth, tipping a bottle.
const Pose kDrinking{false,
                     {37, 16},
                     {37, 27},
                     {37, 48},
                     {{{50, 38}, {45, 24}}},
                     {{{32, 37}, {30, 48}}},
                     {{{40, 60}, {40, 72}}},
                     {{{34, 60}, {34, 72}}}};

// A water bottle standing in a box, cap up.
void DrawBottle(QPainter& p, const QRectF& box, const QColor& glass, const QColor& water, const QColor& cap,
                const QColor& outline) {
    const qreal w = box.width();
    const qreal h = box.height();
    const QRectF capRect(box.left() + w * 0.30, box.top(), w * 0.40, h * 0.14);
    const QRectF neck(box.left() + w * 0.34, box.top() + h * 0.12, w * 0.32, h * 0.12);
    const QRectF body(box.left(), box.top() + h * 0.22, w, h * 0.78);
    QPainterPath bottle;
    bottle.addRoundedRect(body, w * 0.3, w * 0.3);
    bottle.addRect(neck);
    bottle = bottle.simplified();
    p.setPen(QPen(outline, 1.5));
    p.setBrush(glass);
    p.drawPath(bottle);
    p.setPen(Qt::NoPen);
    p.setBrush(water);
    p.setClipPath(bottle);
    p.drawRect(QRectF(body.left(), body.top() + body.height() * 0.35, w, body.height()));
    p.setClipping(false);
    p.setPen(QPen(outline, 1.5));
    p.setBrush(cap);
    p.drawRoundedRect(capRect, 1.5, 1.5);
}

QImage NewPicture(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

QImage FigurePicture(const Pose& pose, const QColor& tile, bool withBottle) {
    QImage image = NewPicture(80, 80);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawTile(p, QRectF(1, 1, 78, 78), tile, 10);
    // A shadow to stand on.
    p.setPen(Qt::NoPen);
    p.setBrush(tile.darker(140));
    p.drawEllipse(QPointF(40, 74), 18, 3);
    DrawFigure(p, pose, tile);
    if (withBottle) {
        p.save();
        p.translate(pose.nearArm[1]);
        p.rotate(-130);
        DrawBottle(p, QRectF(-4, -2, 8, 16), QColor(230, 245, 255), QColor(80, 170, 240), QColor(40, 90, 200),
                   QColor(30, 50, 90));
        p.restore();
    }
    return image;
}

QImage BottlePicture(bool enabled) {
    QImage image = NewPicture(80, 40);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    if (enabled) {
        DrawTile(p, QRectF(1, 1, 78, 38), QColor(250, 205, 40), 7);
        DrawBottle(p, QRectF(32, 4, 16, 32), QColor(235, 248, 255), QColor(70, 160, 240), QColor(30, 80, 190),
                   QColor(40, 50, 80));
    } else {
        DrawTile(p, QRectF(1, 1, 78, 38), QColor(110, 110, 110), 7);
        DrawBottle(p, QRectF(32, 4, 16, 32), QColor(175, 175, 175), QColor(150, 150, 150),
                   QColor(125, 125, 125), QColor(85, 85, 85));
    }
    return image;
}

QImage BluetoothPicture(const QColor& colour) {
    QImage image = NewPicture(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    DrawTile(p, QRectF(5, 1, 22, 30), colour, 10);
    p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    const QPointF rune[] = {{10.5, 11}, {21.5, 21}, {16, 26.5}, {16, 5.5}, {21.5, 11}, {10.5, 21}};
    p.drawPolyline(rune, 6);
    return image;
}

QImage SatellitePicture(const QColor& colour) {
    QImage image = NewPicture(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    // Radio waves from the lower left.
    p.setPen(QPen(colour.lighter(130), 1.8, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(-5, 19, 18, 18), 0, 90 * 16);
    p.drawArc(QRectF(-11, 13, 30, 30), 5 * 16, 80 * 16);
    // The craft, tipped over so its panels run along the diagonal.
    p.translate(18, 14);
    p.rotate(-45);
    p.setPen(QPen(colour.lighter(150), 1.2));
    p.drawLine(QPointF(-12, 0), QPointF(12, 0));
    p.setPen(QPen(colour.darker(160), 0.8));
    p.setBrush(colour);
    for (const qreal x : {-14.0, 5.5}) {
        p.drawRect(QRectF(x, -3.5, 8.5, 7));
        p.drawLine(QPointF(x + 4.25, -3.5), QPointF(x + 4.25, 3.5));
    }
    p.setPen(QPen(QColor(90, 90, 90), 0.8));
    p.setBrush(QColor(225, 225, 225));
    p.drawRoundedRect(QRectF(-4, -4.5, 8, 9), 1.5, 1.5);
    // The dish, facing the waves.
    p.setBrush(QColor(200, 200, 200));
    p.drawChord(QRectF(-4, 2.5, 8, 6), 180 * 16, 180 * 16);
    return image;
}

QImage DrawPicture(int id) {
    switch (id) {
    case IDB_BLUETOOTH_OFF:
        return BluetoothPicture(kRed);
    case IDB_BLUETOOTH_ON:
        return BluetoothPicture(kBlue);
    case IDB_GPS_NOT_READY:
        return SatellitePicture(kRed);
    case IDB_GPS_READY:
        return SatellitePicture(kBlue);
    case IDB_RESTING:
        return FigurePicture(kDrinking, kPink, true);
    case IDB_REST_DISABLED:
        return BottlePicture(false);
    case IDB_REST_ENABLED:
        return BottlePicture(true);
    case IDB_STANDING:
        return FigurePicture(kStanding, kGreen, false);
    case IDB_RUNNING:
        return FigurePicture(kRunning, kGreen, false);
    case IDB_WALKING:
        return FigurePicture(kWalking, kGreen, false);
    case IDB_IDLE:
        return FigurePicture(kStanding, kPink, false);
    default:
        return {};
    }
}

} // namespace

QImage Picture(int id) {
    if (id < kFirstPicture || id > kLastPicture) {
        return {};
    }
    static std::array<QImage, kLastPicture - kFirstPicture + 1> drawn;
    QImage& picture = drawn[static_cast<std::size_t>(id - kFirstPicture)];
    if (picture.isNull()) {
        picture = DrawPicture(id);
    }
    return picture;
}

QImage AppIcon(int size) {
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    if (size <= 0) {
        return icon;
    }
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 80.0, size / 80.0);
    DrawTile(p, QRectF(2, 2, 76, 76), kGreen, 16);
    // The route behind the runner, ending at a pin.
    p.setPen(QPen(QColor(255, 230, 90), 3.0, Qt::DashLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath route(QPointF(10, 72));
    route.cubicTo(QPointF(30, 62), QPointF(44, 76), QPointF(62, 40));
    p.drawPath(route);
    QPainterPath pin(QPointF(62, 40));
    pin.cubicTo(QPointF(57, 31), QPointF(53, 27), QPointF(53, 22));
    pin.arcTo(QRectF(53, 13, 18, 18), 180, -180);
    pin.cubicTo(QPointF(71, 27), QPointF(67, 31), QPointF(62, 40));
    p.setPen(QPen(QColor(120, 0, 0), 1.2));
    p.setBrush(kRed);
    p.drawPath(pin);
    p.setBrush(Qt::white);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(62, 22), 3.5, 3.5);
    p.translate(-8, 0);
    DrawFigure(p, kRunning, kGreen);
    return icon;
}
