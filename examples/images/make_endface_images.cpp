// Draws the two sample inspection images of the bundled example report: a single-mode
// connector end face at low magnification (whole ferrule) and at high magnification
// (fibre close-up with the analysis overlay). Output is reproducible: a fixed seed drives
// every random detail, so the images are the same on every build.
//
// Usage: make_endface_images <output directory>

#include <QColor>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRadialGradient>

#include <cmath>
#include <cstdio>
#include <random>

namespace {

constexpr int imageSize = 480;
constexpr double pi = 3.14159265358979323846;

// Micrometres to pixels around the image centre.
struct Scale
{
    double pixelsPerMicron;
    QPointF centre;

    double radius(double diameterMicrons) const { return diameterMicrons * pixelsPerMicron / 2; }
    QPointF at(double xMicrons, double yMicrons) const
    {
        return centre + QPointF(xMicrons, yMicrons) * pixelsPerMicron;
    }
};

// Nominal single-mode geometry and the IEC zone diameters, in micrometres.
constexpr double coreDiameter = 9.2;
constexpr double claddingDiameter = 125.0;
constexpr double zoneDiameters[] = { 25.0, 115.0, 135.0, 250.0 };

class Randomness
{
public:
    explicit Randomness(unsigned seed)
        : m_generator(seed)
    { }
    double uniform(double low, double high)
    {
        return low + (high - low) * (m_generator() / static_cast<double>(m_generator.max()));
    }

private:
    std::mt19937 m_generator;
};

void fillDisc(QPainter& painter, QPointF centre, double radius, const QBrush& brush)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(brush);
    painter.drawEllipse(centre, radius, radius);
}

// Lit from the objective: bright in the middle, falling off towards the rim.
QRadialGradient litSurface(QPointF centre, double radius, int centreGrey, int rimGrey)
{
    QRadialGradient gradient(centre, radius);
    gradient.setColorAt(0.0, QColor(centreGrey, centreGrey, centreGrey));
    gradient.setColorAt(1.0, QColor(rimGrey, rimGrey, rimGrey));
    return gradient;
}

// A dust particle: an irregular dark blob.
void drawParticle(QPainter& painter, Randomness& random, QPointF centre, double size)
{
    QPainterPath outline;
    const int corners = 9;
    for (int i = 0; i < corners; ++i) {
        const double angle = 2 * pi * i / corners;
        const double reach = size * random.uniform(0.55, 1.0);
        const QPointF point = centre + QPointF(std::cos(angle), std::sin(angle)) * reach;
        if (i == 0)
            outline.moveTo(point);
        else
            outline.lineTo(point);
    }
    outline.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 38, 36, 210));
    painter.drawPath(outline);
}

void scatterParticles(QPainter& painter, Randomness& random, QPointF centre, double innerRadius,
    double outerRadius, int count, double maxSize)
{
    for (int i = 0; i < count; ++i) {
        const double angle = random.uniform(0, 2 * pi);
        const double distance = random.uniform(innerRadius, outerRadius);
        const QPointF where = centre + QPointF(std::cos(angle), std::sin(angle)) * distance;
        drawParticle(painter, random, where, random.uniform(1.5, maxSize));
    }
}

// A polishing scratch: a thin dark groove with a faint bright edge beside it.
void drawScratch(QPainter& painter, QPointF from, QPointF to, double width)
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 60), width, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(from + QPointF(0, width), to + QPointF(0, width));
    painter.setPen(QPen(QColor(60, 60, 60, 170), width, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(from, to);
}

// A pit: a dark crater with a soft rim.
void drawPit(QPainter& painter, QPointF centre, double radius)
{
    QRadialGradient crater(centre, radius);
    crater.setColorAt(0.0, QColor(30, 30, 30, 230));
    crater.setColorAt(0.7, QColor(70, 70, 70, 180));
    crater.setColorAt(1.0, QColor(90, 90, 90, 0));
    fillDisc(painter, centre, radius, crater);
}

// Sensor noise, applied pixel by pixel after drawing.
void addNoise(QImage& image, Randomness& random, double amplitude)
{
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int offset = static_cast<int>(random.uniform(-amplitude, amplitude));
            const QColor pixel(line[x]);
            line[x] = qRgb(qBound(0, pixel.red() + offset, 255),
                qBound(0, pixel.green() + offset, 255), qBound(0, pixel.blue() + offset, 255));
        }
    }
}

// The round field of view of the probe: dark outside, vignetted towards its edge.
void maskFieldOfView(QPainter& painter, double radius)
{
    const QPointF centre(imageSize / 2.0, imageSize / 2.0);
    QRadialGradient vignette(centre, radius);
    vignette.setColorAt(0.0, QColor(0, 0, 0, 0));
    vignette.setColorAt(0.85, QColor(0, 0, 0, 30));
    vignette.setColorAt(0.97, QColor(0, 0, 0, 150));
    vignette.setColorAt(1.0, QColor(0, 0, 0, 255));
    QPainterPath outside;
    outside.addRect(0, 0, imageSize, imageSize);
    painter.setPen(Qt::NoPen);
    painter.setBrush(vignette);
    painter.drawEllipse(centre, radius, radius);
    QPainterPath view;
    view.addEllipse(centre, radius, radius);
    painter.setBrush(Qt::black);
    painter.drawPath(outside.subtracted(view));
}

void drawFibre(QPainter& painter, const Scale& scale)
{
    const double cladding = scale.radius(claddingDiameter);
    // Epoxy bead between fibre and ferrule bore.
    fillDisc(painter, scale.centre, cladding + scale.radius(6), QColor(95, 88, 76));
    fillDisc(painter, scale.centre, cladding, litSurface(scale.centre, cladding, 222, 198));
    fillDisc(painter, scale.centre, scale.radius(coreDiameter),
        litSurface(scale.centre, scale.radius(coreDiameter), 176, 196));
}

// The analysis result drawn over the image: zone boundaries and circled defects.
void drawAnalysisOverlay(QPainter& painter, const Scale& scale, const QPointF (&defects)[3])
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(40, 200, 80, 200), 1.2, Qt::DashLine));
    for (double diameter : zoneDiameters)
        painter.drawEllipse(scale.centre, scale.radius(diameter), scale.radius(diameter));
    painter.setPen(QPen(QColor(230, 40, 40, 230), 1.5));
    for (const QPointF& defect : defects)
        painter.drawEllipse(defect, 9, 9);
}

QImage lowMagnification()
{
    QImage image(imageSize, imageSize, QImage::Format_RGB32);
    image.fill(QColor(18, 18, 20));
    Randomness random(20240611);
    // A 2.5 mm ferrule filling the view.
    const Scale scale { 0.165, QPointF(imageSize / 2.0, imageSize / 2.0) };
    const double ferrule = scale.radius(2500);
    const double polishedFace = scale.radius(2150);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    fillDisc(painter, scale.centre, ferrule, litSurface(scale.centre, ferrule, 120, 70));
    fillDisc(painter, scale.centre, polishedFace, litSurface(scale.centre, polishedFace, 200, 165));
    drawFibre(painter, scale);
    scatterParticles(painter, random, scale.centre, scale.radius(400), polishedFace, 7, 5.5);
    maskFieldOfView(painter, 236);
    painter.end();
    addNoise(image, random, 7);
    return image;
}

QImage highMagnification()
{
    QImage image(imageSize, imageSize, QImage::Format_RGB32);
    image.fill(QColor(18, 18, 20));
    Randomness random(20240612);
    // The contact zone (250 um) just fits the view.
    const Scale scale { 1.8, QPointF(imageSize / 2.0, imageSize / 2.0) };
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    fillDisc(painter, scale.centre, imageSize, litSurface(scale.centre, imageSize * 0.7, 186, 150));
    drawFibre(painter, scale);
    drawScratch(painter, scale.at(-45, -40), scale.at(50, -2), 1.4);
    drawScratch(painter, scale.at(-30, 34), scale.at(22, 47), 1.0);
    const QPointF pits[3] = { scale.at(31, -28), scale.at(-40, 12), scale.at(12, 51) };
    drawPit(painter, pits[0], 4.5);
    drawPit(painter, pits[1], 3.0);
    drawPit(painter, pits[2], 2.5);
    scatterParticles(painter, random, scale.centre, scale.radius(150), scale.radius(250), 3, 6);
    maskFieldOfView(painter, 236);
    painter.end();
    addNoise(image, random, 5);
    // The overlay is the instrument's drawing, free of sensor noise.
    QPainter overlay(&image);
    overlay.setRenderHint(QPainter::Antialiasing);
    drawAnalysisOverlay(overlay, scale, pits);
    return image;
}

bool save(const QImage& image, const QDir& directory, const char* name)
{
    const QString path = directory.filePath(QString::fromLatin1(name));
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "make_endface_images: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_endface_images <output directory>\n");
        return 2;
    }
    const QDir directory(QString::fromLocal8Bit(argv[1]));
    if (!directory.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "make_endface_images: cannot create %s\n", argv[1]);
        return 1;
    }
    const bool written = save(lowMagnification(), directory, "lowmag.png")
        && save(highMagnification(), directory, "highmag.png");
    return written ? 0 : 1;
}
