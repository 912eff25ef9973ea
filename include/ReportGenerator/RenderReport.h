// Prints or shows the staging page.
#ifndef REPORTGENERATOR_RENDERREPORT_H
#define REPORTGENERATOR_RENDERREPORT_H

#include <ReportGenerator/reportgenerator_export.h>

#include <QObject>
#include <QString>

class QPushButton;
class QVBoxLayout;
class QWebView;
class QWidget;

// Renders the staging page once: to a PDF file, a printer or a full-screen window.
class REPORTGENERATOR_EXPORT CRenderReport : public QObject
{
public:
    CRenderReport(const QString& file, QObject* parent);
    virtual ~CRenderReport();

    // 0 = PDF, 1 = printer, 2 = screen, 3 = PostScript (refused). Returns 0 when it ran,
    // -1 when there is no staging page or the output failed.
    int OutputReport(int iFormatType);

private:
    // The output paths; not part of the library's interface.
    REPORTGENERATOR_NO_EXPORT int PrintToPdf();
    REPORTGENERATOR_NO_EXPORT int PrintOnPrinter();
    REPORTGENERATOR_NO_EXPORT int ShowOnScreen();
    REPORTGENERATOR_NO_EXPORT void ReleaseWebView();

    QString outputFilename;
    QWebView* webView;
    QWidget* win;
    QVBoxLayout* lay;
    QPushButton* btnClose;
};

#endif
