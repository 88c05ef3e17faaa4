#include "tools/artgen/art_layout.h"

ArtLayout::ArtLayout(const QString& path)
{
    LayoutResult result = loadLayoutFile(path.toStdString());
    if (!result)
        error_ = QString::fromStdString(result.error());
    else
        components_ = std::move(*result);
}

const ComponentDef* ArtLayout::find(const QString& name) const
{
    const std::string key = name.toStdString();
    for (const ComponentDef& def : components_)
        if (def.name == key)
            return &def;
    return nullptr;
}

QRect ArtLayout::rect(const QString& name) const
{
    const ComponentDef* def = find(name);
    return def ? toQRect(def->rect) : QRect();
}
