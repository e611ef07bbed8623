// Error numbers of the indexed-file engine. Every engine operation returns one
// of them; 0 is success. The numbers are stored nowhere but are shown to the
// user ("DB-Error : 10230"), so they never change.
#pragma once

namespace kandelo::isam {

inline constexpr int kOk = 0;
inline constexpr int kErrKeyDefinedWhileOpen = 7777;   // DefineKey while the file is open
inline constexpr int kErrNotReady = 8888;              // object not created successfully, or file not open
inline constexpr int kErrPathNotFound = 9900;          // also: base path longer than 192 characters
inline constexpr int kErrTooManyOpenFiles = 9901;
inline constexpr int kErrFileNotFound = 9903;
inline constexpr int kErrInvalidHandle = 9904;
inline constexpr int kErrAccessDenied = 9908;          // the file is held by another program (sharing mode)
inline constexpr int kErrNoMemoryForCopy = 9999;
inline constexpr int kErrTooFewBuffers = 10000;        // fewer than 8 page buffers
inline constexpr int kErrNotClosedProperly = 10010;    // open-for-writing flag set: rebuild expected
inline constexpr int kErrRecordLength = 10020;         // record length below 21
inline constexpr int kErrNoMemoryFileTable = 10030;
inline constexpr int kErrTooManyKeys = 10050;          // more than 12 keys requested
inline constexpr int kErrKeyLength = 10055;            // key length 0 or above 150
inline constexpr int kErrTooManyKeysInFile = 10060;
inline constexpr int kErrShortRead = 10070;
inline constexpr int kErrShortWrite = 10075;
inline constexpr int kErrCloseNotOpen = 10080;
inline constexpr int kErrNoMemoryKeyTable = 10090;
inline constexpr int kErrNoMemoryPages = 10100;
inline constexpr int kErrDriveNotReady = 10110;
inline constexpr int kErrBadPageSize = 10120;          // key header damaged (also: header claims pages the file lacks)
inline constexpr int kErrBadKeyLength = 10121;
inline constexpr int kErrKeyTooLong = 10125;           // key string longer than the key length
inline constexpr int kErrWriteRecordZero = 10130;
inline constexpr int kErrDeleteOutOfRange = 10135;
inline constexpr int kErrIO = 10140;                   // other input/output error, damaged page contents
inline constexpr int kErrFlush = 10150;
inline constexpr int kErrClose = 10160;
inline constexpr int kErrKeyNumber = 10164;            // file layer: key number out of range
inline constexpr int kErrFreeChain = 10170;            // broken free chain or inconsistent data header counts
inline constexpr int kErrSelectKey = 10176;            // SelectKey above the number of keys
inline constexpr int kErrKeyLayout = 10180;            // the file's key count (or layout) differs from the defined keys
inline constexpr int kErrKeyNotFound = 10200;          // FindKey
inline constexpr int kErrSearchEnd = 10210;            // SearchKey: nothing at or after the string
inline constexpr int kErrDeleteKeyNotFound = 10220;
inline constexpr int kErrDuplicateKey = 10230;         // AddKey into a unique key that holds the string
inline constexpr int kErrEndOfIndex = 10250;           // NextKey past the last entry
inline constexpr int kErrNoPositionNext = 10255;
inline constexpr int kErrBeginOfIndex = 10260;         // PrevKey before the first entry
inline constexpr int kErrNoPositionPrev = 10265;
inline constexpr int kErrKeyRefNotFound = 10270;       // FindKeyAndRef without an exact match
inline constexpr int kErrNoStationNumber = 10306;
inline constexpr int kErrNetStart = 10310;
inline constexpr int kErrNetStop = 10315;
inline constexpr int kErrNetCloseLocks = 10322;
inline constexpr int kErrWriteLock = 10330;
inline constexpr int kErrReleaseWriteLock = 10340;
inline constexpr int kErrReleaseSlotLock = 10341;
inline constexpr int kErrReleaseOpenLock = 10342;
inline constexpr int kErrNetOpen = 10355;
inline constexpr int kErrNetNoMemory = 10356;
inline constexpr int kErrNetIO = 10397;                // I/O error on a file in network mode or opened read-only
inline constexpr int kErrNoWriteLock = 10398;          // change without the write lock
inline constexpr int kErrRefresh = 10399;
inline constexpr int kErrRebuildName = 10410;
inline constexpr int kErrRebuildNoMemory = 10411;
inline constexpr int kErrRebuildSize = 10412;          // record length or buffer above 65535
inline constexpr int kErrRereadReadOnly = 10430;
inline constexpr int kErrCoordinationFile = 10440;
inline constexpr int kErrNotValidFile = 10445;
inline constexpr int kErrReentered = 10446;
inline constexpr int kErrAlreadyStarted = 10450;
inline constexpr int kErrNotStarted = 10455;
inline constexpr int kErrRebuildStopped = 10460;       // the progress report asked to stop
inline constexpr int kErrRebuildInterrupted = 10465;   // "SAV" and "DAT" both exist: an earlier rebuild did not finish

// Engine limits.
constexpr int kMaxKeys = 12;
constexpr int kMaxKeyLength = 150;
constexpr int kMinRecordLength = 21;
constexpr int kMaxPathLength = 192;
constexpr int kMaxRebuildRecordLength = 65535;
constexpr int kItemsPerPage = 62;   // order 31: every page but the root holds 31..62 items
constexpr int kMinItems = 31;
constexpr int kMaxDepth = 9;
constexpr int kDefaultPageBuffers = 4096;  // memory taken as pages are used
constexpr int kMinPageBuffers = 8;

// Page size of a key of length L: 62 items of L + 9 bytes and a 6-byte page head.
constexpr int PageSizeForKeyLength(int keyLength) { return kItemsPerPage * (keyLength + 9) + 6; }

}  // namespace kandelo::isam
