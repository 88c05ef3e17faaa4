#include "tools/artgen/art_layout.h"

Expected<ArtLayout> ArtLayout::load(const QString& path)
{
    LayoutResult read = loadLayoutFile(path.toStdString());
    if (!read)
        return failure(read.error());
    return ArtLayout(std::move(*read));
}

QRect ArtLayout::rect(const QString& name) const
{
    const std::string key = name.toStdString();
    for (const ComponentDef& def : components_)
        if (def.name == key)
            return toQRect(def.rect);
    return QRect();
}
