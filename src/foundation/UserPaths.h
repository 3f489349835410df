#pragma once

#include <QString>

// Process-wide folders, filled once by initUserDataFolders() at start-up and
// read-only afterwards.
extern QString appDirPath;
extern QString colorSchemeDir;
extern QString userDataDir;
extern QString customizedProtocolDir;
extern QString modelDataDir;
extern QString logDir;
extern QString screenshotDir;
extern QString exportDataDir;
extern QString historyDataDir;
extern QString exportCodeDir;
extern QString recordingDataDir;
extern QString pictureDir;
extern QString tempDir;

// Fills the paths above, creates the folders and installs the official model files.
void initUserDataFolders();

// Base address of the download server: TALMENO_DOWNLOAD_URL when set, else the maker's.
QString downloadBaseUrl();
// downloadBaseUrl() + "/products": the folder of the product downloads.
QString productsDownloadUrl();
