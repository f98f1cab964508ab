#pragma once

#include <QWidget>

struct ThkData;

// The 3D view window of the Fill surface.
class TView3D : public QWidget {
    Q_OBJECT
public:
    explicit TView3D(QWidget* parent = nullptr);
    // Takes the record to show and keeps a reference to it; the window itself
    // draws nothing and stays hidden.
    void ShowThkData(const ThkData& record);

private:
    const ThkData* record_ = nullptr;
};
