// The system's open dialog, titled "Open" with the game's one "Image files" filter.
#pragma once

#include <QFileDialog>
#include <QString>

class QWidget;

namespace morvane {

// A Qt file dialog (never the platform's own, so it behaves the same everywhere and can be
// driven in tests) that picks one existing picture file.
class CommonOpenDialog : public QFileDialog {
    Q_OBJECT
public:
    // Opens on `previousName` when there is one, else on the working directory.
    CommonOpenDialog(QWidget *owner, const QString &previousName);

    // The one filter entry: "Image files" and the picture patterns.
    static QString imageFilesFilter();
};

// Shows the dialog starting on `fileName`; on a choice stores the full path there and returns
// true, on cancel returns false and leaves `fileName` alone.
bool runCommonOpenDialog(QWidget *owner, QString &fileName);

} // namespace morvane
