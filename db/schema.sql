-- Layout of programmes.mdb. Positions matter: the first column of maj,
-- num_chaine first in chaines and chaine fifth in liste are read by number.
-- Dates are day counts since 30 December 1899 (time of day as the fraction).
PRAGMA journal_mode = WAL;

CREATE TABLE maj (
    date_maj REAL
);

CREATE TABLE chaines (
    num_chaine INTEGER,
    nom TEXT,
    adresse TEXT,
    num_image INTEGER
);

CREATE TABLE modele (
    nom TEXT,
    url TEXT
);

CREATE TABLE liste (
    hdeb REAL,
    hfin REAL,
    programme TEXT,
    duree REAL,
    chaine INTEGER
);

-- One row, never stamped yet.
INSERT INTO maj (date_maj) VALUES (NULL);
