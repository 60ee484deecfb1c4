#include "windows/settings/font_families.h"

#include <fontconfig/fontconfig.h>

#include <set>

namespace yomira {

FontFamilyLists ListFontFamilies() {
  FontFamilyLists out;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_LANG, nullptr);
  FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
  QStringList japanese, others;
  std::set<QString> seen;
  for (int i = 0; fonts && i < fonts->nfont; ++i) {
    FcChar8* family = nullptr;
    if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &family) != FcResultMatch || !family) continue;
    const QString name = QString::fromUtf8(reinterpret_cast<const char*>(family));
    if (!seen.insert(name).second) continue;
    FcLangSet* langs = nullptr;
    const bool ja = FcPatternGetLangSet(fonts->fonts[i], FC_LANG, 0, &langs) == FcResultMatch && langs &&
                    FcLangSetHasLang(langs, reinterpret_cast<const FcChar8*>("ja")) == FcLangEqual;
    (ja ? japanese : others) << name;
  }
  if (fonts) FcFontSetDestroy(fonts);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  const auto byName = [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; };
  std::sort(japanese.begin(), japanese.end(), byName);
  std::sort(others.begin(), others.end(), byName);
  for (const QString& f : japanese) out.vertical << QStringLiteral("@") + f;
  out.alphanumeric = japanese + others;
  return out;
}

}  // namespace yomira
