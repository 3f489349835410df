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
// The same with the executable's folder and the settings folder given.
void initUserDataFolders(const QString& applicationDir, const QString& settingsFolder);
// Copies every "*.ini" file of sourceDir that targetDir lacks, then removes sourceDir;
// when a copy fails, sourceDir stays (a warning is logged) and false is returned.
bool installOfficialModelFiles(const QString& sourceDir, const QString& targetDir);

// Base address of the download server: TALMENO_DOWNLOAD_URL when set, else the maker's.
QString downloadBaseUrl();
// downloadBaseUrl() + "/products": the folder of the product downloads.
QString productsDownloadUrl();
