// Error numbers of the indexed-file engine. Every engine operation returns one
// of them; 0 is success. The numbers are stored nowhere but are shown to the
// user ("DB-Error : 10230"), so they never change.
#pragma once

namespace kandelo::isam {

enum : int {
  kOk = 0,
  kErrKeyDefinedWhileOpen = 7777,   // DefineKey while the file is open
  kErrNotReady = 8888,              // object not created successfully, or file not open
  kErrPathNotFound = 9900,          // also: base path longer than 192 characters
  kErrTooManyOpenFiles = 9901,
  kErrFileNotFound = 9903,
  kErrInvalidHandle = 9904,
  kErrAccessDenied = 9908,          // the file is held by another program (sharing mode)
  kErrNoMemoryForCopy = 9999,
  kErrTooFewBuffers = 10000,        // fewer than 8 page buffers
  kErrNotClosedProperly = 10010,    // open-for-writing flag set: rebuild expected
  kErrRecordLength = 10020,         // record length below 21
  kErrNoMemoryFileTable = 10030,
  kErrTooManyKeys = 10050,          // more than 12 keys requested
  kErrKeyLength = 10055,            // key length 0 or above 150
  kErrTooManyKeysInFile = 10060,
  kErrShortRead = 10070,
  kErrShortWrite = 10075,
  kErrCloseNotOpen = 10080,
  kErrNoMemoryKeyTable = 10090,
  kErrNoMemoryPages = 10100,
  kErrDriveNotReady = 10110,
  kErrBadPageSize = 10120,          // key header damaged (also: header claims pages the file lacks)
  kErrBadKeyLength = 10121,
  kErrKeyTooLong = 10125,           // key string longer than the key length
  kErrWriteRecordZero = 10130,
  kErrDeleteOutOfRange = 10135,
  kErrIO = 10140,                   // other input/output error, damaged page contents
  kErrFlush = 10150,
  kErrClose = 10160,
  kErrKeyNumber = 10164,            // file layer: key number out of range
  kErrFreeChain = 10170,            // broken free chain or inconsistent data header counts
  kErrSelectKey = 10176,            // SelectKey above the number of keys
  kErrKeyLayout = 10180,            // the file's key count (or layout) differs from the defined keys
  kErrKeyNotFound = 10200,          // FindKey
  kErrSearchEnd = 10210,            // SearchKey: nothing at or after the string
  kErrDeleteKeyNotFound = 10220,
  kErrDuplicateKey = 10230,         // AddKey into a unique key that holds the string
  kErrEndOfIndex = 10250,           // NextKey past the last entry
  kErrNoPositionNext = 10255,
  kErrBeginOfIndex = 10260,         // PrevKey before the first entry
  kErrNoPositionPrev = 10265,
  kErrKeyRefNotFound = 10270,       // FindKeyAndRef without an exact match
  kErrNoStationNumber = 10306,
  kErrNetStart = 10310,
  kErrNetStop = 10315,
  kErrNetCloseLocks = 10322,
  kErrWriteLock = 10330,
  kErrReleaseWriteLock = 10340,
  kErrReleaseSlotLock = 10341,
  kErrReleaseOpenLock = 10342,
  kErrNetOpen = 10355,
  kErrNetNoMemory = 10356,
  kErrNetIO = 10397,                // I/O error on a file in network mode or opened read-only
  kErrNoWriteLock = 10398,          // change without the write lock
  kErrRefresh = 10399,
  kErrRebuildName = 10410,
  kErrRebuildNoMemory = 10411,
  kErrRebuildSize = 10412,          // record length or buffer above 65535
  kErrRereadReadOnly = 10430,
  kErrCoordinationFile = 10440,
  kErrNotValidFile = 10445,
  kErrReentered = 10446,
  kErrAlreadyStarted = 10450,
  kErrNotStarted = 10455,
  kErrRebuildStopped = 10460,       // the progress report asked to stop
  kErrRebuildInterrupted = 10465,   // "SAV" and "DAT" both exist: an earlier rebuild did not finish
};

// Engine limits.
constexpr int kMaxKeys = 12;
constexpr int kMaxKeyLength = 150;
constexpr int kMinRecordLength = 21;
constexpr int kMaxPathLength = 192;
constexpr int kMaxRebuildRecordLength = 65535;
constexpr int kItemsPerPage = 62;   // order 31: every page but the root holds 31..62 items
constexpr int kMinItems = 31;
constexpr int kMaxDepth = 9;
constexpr int kDefaultPageBuffers = 60;
constexpr int kMinPageBuffers = 8;

// Page size of a key of length L: 62 items of L + 9 bytes and a 6-byte page head.
constexpr int PageSizeForKeyLength(int keyLength) { return kItemsPerPage * (keyLength + 9) + 6; }

}  // namespace kandelo::isam
