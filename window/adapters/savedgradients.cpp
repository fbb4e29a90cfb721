#include "window/adapters/savedgradients.h"

#include <QCoreApplication>

#include <cstring>

namespace prismel {

namespace {

QString systemWords(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString troubleText(GradientsFileTrouble trouble, int error)
{
    switch (trouble) {
    case GradientsFileTrouble::None:
        break;
    case GradientsFileTrouble::NotRegular:
        return QCoreApplication::translate("prismel::SavedGradients", "不是普通文件");
    case GradientsFileTrouble::TooLarge:
        return QCoreApplication::translate("prismel::SavedGradients", "文件太大：最多 %1 MiB")
            .arg(maxGradientsFileBytes >> 20);
    case GradientsFileTrouble::Failed:
        return systemWords(error);
    }
    return {};
}

} // namespace

const std::vector<NamedGradient>& SavedGradients::gradients()
{
    const std::string path = userGradientsPath();
    const FileStamp stamp = fileStampOf(path);
    if (m_read && path == m_path && stamp == m_stamp)
        return m_gradients;
    GradientsFileRead read = readGradientsFile(path);
    m_path = path;
    // A file that could not be read is asked about again next time.
    m_read = read.trouble != GradientsFileTrouble::Failed;
    m_stamp = read.stamp.exists ? read.stamp : stamp;
    m_gradients = std::move(read.file.gradients);
    m_trouble = troubleText(read.trouble, read.error);
    return m_gradients;
}

std::optional<SavedGradients::SaveFailure> SavedGradients::save(std::u16string_view name,
                                                                const Gradient& gradient)
{
    const std::string path = userGradientsPath();
    const GradientsFileSave saved = saveGradientLine(path, name, gradient);
    const auto about = [](const char* why, const std::string& file, const QString& reason) {
        return SaveFailure{QCoreApplication::translate("prismel::SavedGradients", why)
                               .arg(QStringLiteral("%1"), reason),
                           QString::fromStdString(file)};
    };
    using Step = GradientsFileSave::Step;
    switch (saved.step) {
    case Step::Saved:
        return std::nullopt;
    case Step::NoPlace:
        return SaveFailure{
            QCoreApplication::translate("prismel::SavedGradients",
                                        "没有设置 HOME 或 XDG_CONFIG_HOME，不知道该保存到哪里"),
            {}};
    case Step::Reading:
        // A file that cannot be read is left alone rather than replaced by one line.
        return about(QT_TRANSLATE_NOOP("prismel::SavedGradients", "无法读取“%1”：%2"), path,
                     troubleText(saved.trouble, saved.error));
    case Step::MakingFolder:
        return about(QT_TRANSLATE_NOOP("prismel::SavedGradients", "无法创建“%1”：%2"),
                     path.substr(0, path.rfind('/')), systemWords(saved.error));
    case Step::Writing:
        break;
    }
    return about(QT_TRANSLATE_NOOP("prismel::SavedGradients", "无法写入“%1”：%2"), path,
                 systemWords(saved.error));
}

} // namespace prismel
