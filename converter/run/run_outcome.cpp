#include "converter/run/run_outcome.h"

namespace run {

std::string elapsedTimeText(long long seconds) {
  if (seconds < 0) seconds = 0;
  const long long h = seconds / 3600, m = seconds % 3600 / 60, s = seconds % 60;
  if (seconds < 60) return "所要時間は " + std::to_string(s) + "秒でした。";
  if (seconds < 3600) return "所要時間は " + std::to_string(m) + "分" + std::to_string(s) + "秒でした。";
  return "所要時間は " + std::to_string(h) + "時間" + std::to_string(m) + "分" + std::to_string(s) + "秒でした。";
}

std::string completionNote(long long seconds) {
  return elapsedTimeText(seconds) + "\r\n\r\n" +
         "作成した地図を公表する場合は、測量法、国土情報利用約款に従ってください。";
}

std::string completionText(long long seconds, bool singleSheet, const std::string& mapName) {
  std::string text = completionNote(seconds) + "\r\n\r\n";
  text += singleSheet ? std::string("地図のファイルを開きますか。")
                      : "目次ファイル(" + mapName + "#index.dxf)を開きますか。";
  return text;
}

}  // namespace run
