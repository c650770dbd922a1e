-- The program's database, draft.dat: the lists kept between runs.
--
-- Conventions of every table:
--   * `id` is the row's key, an INTEGER PRIMARY KEY AUTOINCREMENT, so the id
--     of a deleted row is never handed out again (the lists refer to rows by
--     id while they are on screen).
--   * Texts are UTF-8. The sizes noted are the lengths, in characters, the
--     lists are meant for; they are not enforced, so nothing typed is lost.
--   * Dates are local time as text "yyyy-mm-dd hh:mm:ss", which sorts in
--     time order.
--   * Yes/no columns hold 0 or 1.
--   * No separate index on `id`: the INTEGER PRIMARY KEY is the table's own
--     key already, and SQLite index names are shared by the whole database,
--     so one index named "id" per table could not exist anyway.

-- Version 2 added the operator's pronunciation list, version 3 the broadcast
-- timetable; a file of an earlier version is brought up to date in place when
-- the program first opens it.
PRAGMA user_version = 3;

-- Prepared texts for reading.
CREATE TABLE draft (
    id        INTEGER PRIMARY KEY AUTOINCREMENT,
    orderno   INTEGER,   -- display order, ascending; new drafts get 0
    name      TEXT,      -- subject shown in the lists (50)
    memory    TEXT,      -- the text to read; may be null
    inputdate TEXT       -- not used
);

-- Files opened before, most recent first by opendate.
CREATE TABLE history (
    id       INTEGER PRIMARY KEY AUTOINCREMENT,
    filename TEXT,       -- full path of the opened file (200)
    orderno  INTEGER,    -- not used
    opendate TEXT        -- local date and time of the last opening
);

-- Punctuation the reader cuts the text at, with the pause after it.
CREATE TABLE delaytime (
    id        INTEGER PRIMARY KEY AUTOINCREMENT,
    name      TEXT,      -- display name (50)
    descript  TEXT,      -- the symbol itself, one or two characters
    delaytime INTEGER,   -- pause in milliseconds
    ename     TEXT,      -- short Latin key of the symbol (10); not used
    candelete INTEGER NOT NULL DEFAULT 0 CHECK (candelete IN (0, 1))
                         -- the symbol makes the reader pause
);

-- The half-hourly time announcement slots.
CREATE TABLE telltime (
    id      INTEGER PRIMARY KEY AUTOINCREMENT,
    stime   TEXT,        -- time of day "hh:mm:ss" (8)
    text    TEXT,        -- the slot's sentence as shown (100)
    isplay  INTEGER NOT NULL DEFAULT 0 CHECK (isplay IN (0, 1)),
                         -- the slot is announced
    speaker TEXT         -- a voice name; kept but not used (100)
);

-- The operator's own pronunciations, applied before any other rule when a
-- text is spoken.
CREATE TABLE pronunciation (
    id      INTEGER PRIMARY KEY AUTOINCREMENT,
    word    TEXT NOT NULL, -- as it stands in the text
    reading TEXT NOT NULL  -- numbered pinyin ("chong2 qing4") or replacement text
);

-- The broadcast timetable: fixed announcements at set times of day. Whether
-- an entry's draft still exists is looked up when it falls due, not stored:
-- draft ids are never handed out again, so the draft list alone says it.
CREATE TABLE timetable (
    id       INTEGER PRIMARY KEY AUTOINCREMENT,
    stime    TEXT NOT NULL,      -- time of day "hh:mm:ss"
    days     INTEGER NOT NULL DEFAULT 127,
                                 -- days of the week, Monday bit 0 … Sunday bit 6
    draftid  INTEGER,            -- the draft read, by id; null when a file is played
    filename TEXT,               -- an MP3 or WAV file played when draftid is null
    passes   INTEGER NOT NULL DEFAULT 1,
    interval INTEGER NOT NULL DEFAULT 0,
                                 -- seconds of silence between passes
    voice    TEXT,               -- a voice name; empty for the main window's voice
    enabled  INTEGER NOT NULL DEFAULT 1 CHECK (enabled IN (0, 1))
);
