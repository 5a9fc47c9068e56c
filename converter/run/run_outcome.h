#pragma once
// The words the start command ends a run with.
#include <string>

namespace run {

// "所要時間は 1分5秒でした。" … with the publication note and the question whether to open the
// result (the sheet, or the index drawing of several sheets).
std::string elapsedTimeText(long long seconds);
std::string completionText(long long seconds, bool singleSheet, const std::string& mapName);
// The same without the question, for the command line, which prints the result's path.
std::string completionNote(long long seconds);

}  // namespace run
