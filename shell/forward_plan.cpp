#include "shell/forward_plan.h"

#include <QDir>
#include <QFile>

#include "platform/single_instance.h"
#include "sources/arguments.h"

namespace yomira {
namespace {

std::string Absolute(const std::string& cwd, const std::string& path) {
  const QString p = QFile::decodeName(QByteArray::fromStdString(path));
  const QString abs =
      QDir::isAbsolutePath(p) ? p : QDir(QFile::decodeName(QByteArray::fromStdString(cwd))).filePath(p);
  return QFile::encodeName(QDir::cleanPath(abs)).toStdString();
}

bool IsLocal(ArgumentKind k) { return k == ArgumentKind::File || k == ArgumentKind::Folder; }

}  // namespace

std::optional<std::vector<std::string>> planForward(const std::vector<std::string>& args, const std::string& cwd) {
  std::vector<std::string> out;
  for (const std::string& arg : args) {
    if (arg.size() > kMaxForwardBytes) return std::nullopt;
    // A relative name means a file of the sender's folder, not of the first instance's.
    ClassifiedArgument c;
    const bool relative = !arg.empty() && arg[0] != '/' && arg.rfind("file://", 0) != 0;
    if (relative) c = ClassifyArgument(Absolute(cwd, arg));
    if (!relative || !IsLocal(c.kind)) c = ClassifyArgument(arg);
    // A missing path is sent absolute too, so the message names the sender's file.
    if (IsLocal(c.kind) || c.kind == ArgumentKind::Missing) {
      std::string abs = Absolute(cwd, c.path);
      if (abs.size() > kMaxForwardBytes) return std::nullopt;
      out.push_back(std::move(abs));
    } else {
      out.push_back(arg);
    }
    if (c.kind == ArgumentKind::File || c.kind == ArgumentKind::Url) break;
  }
  out.emplace_back(kForwardEnd);
  return out;
}

}  // namespace yomira
