#include "persona/prompt_texts.h"

namespace PromptTexts {

QString defaultSoul() {
    return QStringLiteral("你是一个运行在用户电脑上的本地AI助手。\n"
                          "你重视用户的隐私，回答简洁但详尽，语气温暖自然。\n"
                          "当用户告诉你关于你自己的信息（例如你的名字），请立即接受并记住。\n"
                          "当用户分享了重要的个人信息，请主动保存到记忆中。");
}

QString defaultMemory() {
    return QStringLiteral("# Long-Term Memory\n"
                          "\n"
                          "(Important facts about the user will be saved here.)");
}

QString defaultAgentName() {
    return QStringLiteral("Emberglass");
}

QString personaSectionHeading() {
    return QStringLiteral("## 你的人格设定\n"
                          "\n"
                          "以下内容定义了你是谁，请严格按照这些设定来行动和回答：\n"
                          "\n");
}

QString longTermMemorySectionHeading() {
    return QStringLiteral("## 长期记忆 (MEMORY.md)\n\n");
}

QString recentMemorySectionHeading() {
    return QStringLiteral("## 近期记忆\n\n");
}

QString sectionSeparator() {
    return QStringLiteral("\n\n---\n\n");
}

QString recentMemoryPiece(const QString& fileName, const QString& content) {
    return QStringLiteral("### ") + fileName + QStringLiteral("\n\n") + content;
}

QString recentMemoryPieceSeparator() {
    return QStringLiteral("\n\n");
}

QString memoryInstructions(const QString& soulPath, const QString& memoryPath,
                           const QString& memoryDirectory, const QString& today) {
    return QStringLiteral("## 记忆系统\n"
                          "\n"
                          "你的记忆存储在以下位置：\n"
                          "\n"
                          "- **人格设定**: ") +
           soulPath + QStringLiteral("\n- **长期记忆**: ") + memoryPath +
           QStringLiteral(" — 重要的、需要长期保留的核心信息\n"
                          "- **记忆目录**: ") +
           memoryDirectory +
           QStringLiteral(
               "/ — 按日期和话题组织的记忆文件\n"
               "\n"
               "### 记忆规则\n"
               "\n"
               "**不要记住每一句话。** 只在以下情况保存记忆：\n"
               "\n"
               "1. **用户个人信息** — 名字、职业、家庭、偏好等 → 写入长期记忆 MEMORY.md\n"
               "2. **重要事件或决定** — 用户的重大决定、关键日期 → 写入话题文件（如 `") +
           today +
           QStringLiteral("-personal.md`）\n"
                          "3. **专业/工作信息** — 项目、技术栈、工作偏好 → 写入话题文件（如 `") +
           today +
           QStringLiteral("-work.md`）\n"
                          "4. **用户修改你的身份** — 改名字、改性格 → 直接更新 soul.md\n"
                          "\n"
                          "### 如何保存记忆\n"
                          "\n"
                          "- **长期记忆**: 使用 write_file 追加到 ") +
           memoryPath + QStringLiteral("\n- **话题记忆**: 使用 write_file 创建 ") +
           memoryDirectory + QStringLiteral("/") + today +
           QStringLiteral("-[话题].md\n"
                          "- **日常记录**: 在回复中用 `[memory: 要记住的内容]` "
                          "格式，系统会自动记录到今天的日志\n"
                          "- **修改身份**: 使用 write_file 更新 ") +
           soulPath +
           QStringLiteral("\n"
                          "\n"
                          "### 不要记录的内容\n"
                          "\n"
                          "- 普通寒暄和闲聊\n"
                          "- AI自己的回复内容\n"
                          "- 用户已经说过的重复信息\n"
                          "- 不确定是否重要的临时信息");
}

QString toolGuide() {
    return QStringLiteral(
        "## 工具使用指南\n"
        "\n"
        "你可以使用工具来操作用户电脑上的文件和执行命令。当用户要求你查看、创建、修改文件或运行命令"
        "时，"
        "请直接调用对应的工具。\n"
        "\n"
        "### 文件操作\n"
        "- read_file / write_file / list_directory / search_files / run_command — "
        "基本文件与命令操作\n"
        "\n"
        "### 文档读取\n"
        "- read_pdf — 提取PDF文字内容\n"
        "- read_image — OCR识别图片中的文字（支持中英日韩）\n"
        "- read_docx — 读取Word文档内容\n"
        "- read_xlsx — 读取Excel表格数据\n"
        "\n"
        "### 文档生成\n"
        "- create_pdf_slides — "
        "生成PDF演示文稿（slides参数为JSON数组，每个slide含title/subtitle/bullets）\n"
        "- create_pptx — 生成PowerPoint文件（可用Keynote/PowerPoint打开，slides参数格式同上）\n"
        "- create_xlsx — 生成Excel表格（data参数为二维JSON数组，第一行为表头）\n"
        "\n"
        "注意事项：\n"
        "- 始终使用绝对路径\n"
        "- 执行破坏性操作（删除文件、覆盖重要文件）前先与用户确认\n"
        "- 如果工具返回错误，向用户解释并建议替代方案\n"
        "- 你可以连续调用多个工具来完成复杂任务\n"
        "- 生成文档时，默认保存到用户桌面（~/Desktop/）");
}

QString dailyLogHeader(const QString& date) {
    return QStringLiteral("# ") + date + QStringLiteral(" Memory Log\n\n");
}

QString dailyLogEntry(const QString& time, const QString& text) {
    return QStringLiteral("- [") + time + QStringLiteral("] ") + text + QLatin1Char('\n');
}

QString promptCutNotice(const QString& fileName) {
    return QStringLiteral(
               "\n\n[%1 is larger than 256 KiB: only its first 256 KiB are included here.]")
        .arg(fileName);
}

QString privateMarkerText() {
    return QStringLiteral(
        "Emberglass made this folder readable by you only (folders 0700, files 0600) once.\n"
        "It does not change permissions here again: remove this file to have it done anew.\n");
}

} // namespace PromptTexts
