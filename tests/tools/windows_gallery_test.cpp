// The command line of windows_gallery: listing, drawing into a folder, selection and the
// exit statuses a script relies on.
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTemporaryDir>

#include <unistd.h>

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace {

struct RunResult {
  int status = -1;
  QString out;
  QString err;
};

// prefix: words run before the program (another user's setpriv); program: the gallery's path.
RunResult Gallery(const QStringList& args, const QStringList& prefix = {},
                  const QString& program = QStringLiteral(WINDOWS_GALLERY_PATH)) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove(QStringLiteral("QT_QPA_PLATFORM"));  // the tool must go headless by itself
  env.remove(QStringLiteral("DISPLAY"));
  p.setProcessEnvironment(env);
  if (prefix.isEmpty())
    p.start(program, args);
  else
    p.start(prefix.front(), prefix.mid(1) + QStringList{program} + args);
  RunResult r;
  if (!p.waitForFinished(60000)) return r;
  r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  r.out = QString::fromUtf8(p.readAllStandardOutput());
  r.err = QString::fromUtf8(p.readAllStandardError());
  return r;
}

QStringList Lines(const QString& text) { return text.split(u'\n', Qt::SkipEmptyParts); }

QStringList PngsIn(const QString& dir) {
  return QDir(dir).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
}

TEST(WindowsGallery, ListsUniqueNamesOfLowerCaseWords) {
  const RunResult r = Gallery({"--list"});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  QStringList names = Lines(r.out);
  // The dialog controls' pictures, in this order among whatever other entries list.
  const QStringList controls{"spin-edit",          "spin-edit-typed",     "spin-edit-negative", "spin-edit-disabled",
                             "path-label",         "path-label-focused",  "speed-edit",         "speed-edit-readonly",
                             "speed-edit-disabled", "common-buttons",     "common-spin-button", "common-spin-edit",
                             "find-dialog",        "controls"};
  QStringList listed;
  for (const QString& n : names)
    if (controls.contains(n)) listed << n;
  EXPECT_EQ(listed, controls);
  EXPECT_EQ(names.removeDuplicates(), 0);
  static const QRegularExpression kName(QStringLiteral("^[a-z0-9]+(-[a-z0-9]+)*$"));
  for (const QString& n : names) EXPECT_TRUE(kName.match(n).hasMatch()) << n.toStdString();
}

TEST(WindowsGallery, OutDrawsEveryEntryOnceWithItsPrintedSize) {
  QTemporaryDir dir;
  const QStringList names = Lines(Gallery({"--list"}).out);
  const RunResult r = Gallery({"--out", dir.path()});
  ASSERT_EQ(r.status, 0) << r.err.toStdString();
  const QStringList lines = Lines(r.out);
  ASSERT_EQ(lines.size(), names.size());
  QStringList expectedFiles;
  for (int i = 0; i < lines.size(); ++i) {
    const QStringList f = lines[i].split(u' ');
    ASSERT_EQ(f.size(), 3) << lines[i].toStdString();
    EXPECT_EQ(f[0], names[i]);
    EXPECT_EQ(f[2], dir.path() + "/" + names[i] + ".png");
    const QImage img(f[2]);
    ASSERT_FALSE(img.isNull()) << f[2].toStdString();
    EXPECT_EQ(f[1], QStringLiteral("%1x%2").arg(img.width()).arg(img.height()));
    expectedFiles << names[i] + ".png";
  }
  expectedFiles.sort();
  EXPECT_EQ(PngsIn(dir.path()), expectedFiles);
}

TEST(WindowsGallery, OnlySelectsByNameAndByPrefix) {
  struct Case {
    QStringList only;
    QStringList files;
  };
  const Case cases[] = {
      {{"spin-edit"}, {"spin-edit.png"}},
      {{"path-label"}, {"path-label.png"}},
      {{"path-label-focused", "path-label-focused"}, {"path-label-focused.png"}},
      {{"path-label*"}, {"path-label-focused.png", "path-label.png"}},
  };
  for (const Case& c : cases) {
    QTemporaryDir dir;
    QStringList args{"--out", dir.path()};
    for (const QString& n : c.only) args << "--only" << n;
    const RunResult r = Gallery(args);
    EXPECT_EQ(r.status, 0) << c.only.join(' ').toStdString() << ": " << r.err.toStdString();
    EXPECT_EQ(PngsIn(dir.path()), c.files) << c.only.join(' ').toStdString();
    EXPECT_EQ(Lines(r.out).size(), c.files.size());
  }
}

TEST(WindowsGallery, UsageErrorsExitTwoAndWriteNothing) {
  QTemporaryDir dir;
  const QStringList cases[] = {
      {},
      {"--out"},
      {"--out", dir.path(), "--only"},
      {"--out", dir.path(), "--only", "nosuch"},
      {"--out", dir.path(), "--only", "path-label", "--only", "nosuch"},
      {"--out", dir.path(), "--only", "nosuch*"},
      {"--show"},
      {"--show", "nosuch"},
      {"--only", "path-label"},
      {"--list", "--out", dir.path()},
      {"--frobnicate"},
  };
  for (const QStringList& args : cases) {
    const RunResult r = Gallery(args);
    EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
    EXPECT_FALSE(r.err.isEmpty()) << args.join(' ').toStdString();
  }
  EXPECT_TRUE(PngsIn(dir.path()).isEmpty());
}

TEST(WindowsGallery, FolderThatCannotTakeThePictureExitsOne) {
  QTemporaryDir dir;
  const RunResult missing = Gallery({"--out", dir.path() + "/missing", "--only", "path-label"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_TRUE(missing.err.contains("missing")) << missing.err.toStdString();
  EXPECT_FALSE(QFileInfo::exists(dir.path() + "/missing"));

  const QString file = dir.path() + "/plain";
  QFile(file).open(QIODevice::WriteOnly);
  EXPECT_EQ(Gallery({"--out", file, "--only", "path-label"}).status, 1);
}

TEST(WindowsGallery, ReadOnlyFolderExitsOne) {
  QTemporaryDir dir;
  const QString locked = dir.path() + "/locked";
  ASSERT_TRUE(QDir().mkdir(locked));
  yomira::test::HandToUnprivileged(locked.toStdString());
  QStringList prefix;
  for (const std::string& w : yomira::test::UnprivilegedCommandPrefix()) prefix << QString::fromStdString(w);
  QString program = QStringLiteral(WINDOWS_GALLERY_PATH);
  // A build tree the unprivileged user cannot reach: that user runs a copy.
  if (!prefix.isEmpty() &&
      !yomira::test::RunUnprivileged([&] { return access(WINDOWS_GALLERY_PATH, X_OK) == 0 ? "" : "no"; }).empty()) {
    program = dir.path() + "/windows_gallery";
    ASSERT_TRUE(QFile::copy(QStringLiteral(WINDOWS_GALLERY_PATH), program));
  }
  const std::string made = yomira::test::RunUnprivileged([&]() -> std::string {
    return QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner) ? "" : "chmod failed";
  });
  ASSERT_EQ(made, "");
  EXPECT_EQ(Gallery({"--out", locked, "--only", "path-label"}, prefix, program).status, 1);
  EXPECT_TRUE(PngsIn(locked).isEmpty());
}

}  // namespace
