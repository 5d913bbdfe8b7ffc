// The settings tree's first-run build and version stamp update, run at start-up.
#pragma once

// Deletes the product key and builds the tree anew with its defaults, group by group; a group
// with a failed write (its key could be neither opened nor created) ends the build: false.
bool ConfigTreeCreate();
// Rewrites the stamp "1.00.0" as the current version; any other stamp stays. Always true.
bool VersionUpdate();
