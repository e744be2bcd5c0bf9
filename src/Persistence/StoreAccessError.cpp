#include "Persistence/StoreAccessError.h"

namespace quorrin {

namespace {
const char alreadyRunningText[] = "同一个数据目录已有 Quorrin实例运行，已阻止重复实例覆盖内容。";
}

QString StoreAccessError::localizedDescription() const
{
    return QString::fromUtf8(alreadyRunningText);
}

const char* StoreAccessError::what() const noexcept
{
    return alreadyRunningText;
}

} // namespace quorrin
