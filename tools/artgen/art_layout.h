// The device window's layout as the artwork needs it: every component's rectangle by name.
#pragma once

#include "device/layout.h"

#include <QRect>
#include <QString>

class ArtLayout {
public:
    // Reads the layout table.
    static Expected<ArtLayout> load(const QString& path);

    const std::vector<ComponentDef>& components() const { return components_; }
    // The rectangle of a component; an empty rectangle for a name the table does not have.
    QRect rect(const QString& name) const;

private:
    explicit ArtLayout(std::vector<ComponentDef> components) : components_(std::move(components)) {}
    std::vector<ComponentDef> components_;
};

inline QRect toQRect(const Rect& r) { return QRect(r.left, r.top, r.width, r.height); }
