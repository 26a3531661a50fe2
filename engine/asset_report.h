// The one word a damaged or missing asset gets: its path and the reason, once per path
// on standard error, while the game goes on with the empty object it got instead.
#pragma once

#include <string>

namespace OstrelLibrary {

// Why the file at `path` could not be used: the system's reason when it cannot be opened
// or read, otherwise `damage` (what the loader made of its bytes).
std::string AssetFailureReason(const std::string& path, const std::string& damage);

// Names the asset and the reason on standard error, the first time only for each path.
void ReportAssetFailure(const std::string& path, const std::string& reason);

// The two together: reports `path` with the reason AssetFailureReason gives.
void ReportUnusableAsset(const std::string& path, const std::string& damage);

// True when the file is simply not there (a missing optional file is no failure).
bool AssetIsMissing(const std::string& path);

}  // namespace OstrelLibrary
