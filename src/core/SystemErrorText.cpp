#include "core/SystemErrorText.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<std::errc, const char*>, 17> reasons{{
    {std::errc::permission_denied, "アクセスが許可されていません"},
    {std::errc::operation_not_permitted, "この操作は許可されていません"},
    {std::errc::no_space_on_device, "ディスクの空き容量がありません"},
    {std::errc::read_only_file_system, "書き込みが禁止されています"},
    {std::errc::no_such_file_or_directory, "ファイルまたはフォルダーがありません"},
    {std::errc::not_a_directory, "フォルダーではないものがパスの途中にあります"},
    {std::errc::is_a_directory, "同じ名前のフォルダーがあります"},
    {std::errc::file_exists, "同じ名前のファイルがあります"},
    {std::errc::directory_not_empty, "フォルダーが空ではありません"},
    {std::errc::device_or_resource_busy, "ほかのプログラムが使用中です"},
    {std::errc::io_error, "読み書きに失敗しました"},
    {std::errc::no_such_device, "装置が見つかりません"},
    {std::errc::no_such_device_or_address, "装置が見つかりません"},
    {std::errc::filename_too_long, "名前が長すぎます"},
    {std::errc::too_many_files_open, "開いているファイルが多すぎます"},
    {std::errc::not_enough_memory, "メモリが足りません"},
    {std::errc::timed_out, "時間内に応答がありませんでした"},
}};

} // namespace

std::string system_error_text(const std::error_code& ec) {
    const std::error_condition meaning = ec.default_error_condition();
    for (const auto& [code, text] : reasons) {
        if (meaning == code) {
            return text;
        }
    }
    return ec.message();
}
