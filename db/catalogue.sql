-- The channels offered by "Ajouter une chaine", in the order of their channel
-- numbers. Each address is the XMLTV feed that carries the channel's schedule,
-- with the channel's id in that feed as the fragment, as the feed spells it in
-- 2026. Packagers may edit this file freely: it is plain data, read once when
-- the delivered database is built. Older ids and names of a channel are in
-- alias_chaines.txt beside it.
INSERT INTO modele (nom, url) VALUES
    ('TF1', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#TF1.fr'),
    ('France 2', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#France2.fr'),
    ('France 3', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#France3.fr'),
    ('Canal+', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#CanalPlus.fr'),
    ('France 5', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#France5.fr'),
    ('M6', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#M6.fr'),
    ('Arte', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#Arte.fr'),
    ('W9', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#W9.fr'),
    ('TMC', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#TMC.fr'),
    ('TFX', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#NT1.fr'),
    ('LCP', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#LaChaineParlementaire.fr'),
    ('France 4', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#France4.fr'),
    ('BFM TV', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#BFMTV.fr'),
    ('CNews', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#CNews.fr'),
    ('CStar', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#CStar.fr'),
    ('Gulli', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#Gulli.fr'),
    ('TF1 Séries-Films', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#TF1SeriesFilms.fr'),
    ('La chaine l’Équipe', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#LEquipe21.fr'),
    ('6ter', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#6ter.fr'),
    ('RMC STORY', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#Numero23.fr'),
    ('RMC Découverte', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#RMCDecouverte.fr'),
    ('RMC Life', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#Cherie25.fr'),
    ('LCI', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#LCI.fr'),
    ('franceinfo:', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#FranceInfo.fr'),
    ('T18', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#T18.fr'),
    ('NOVO19', 'https://xmltvfr.fr/xmltv/xmltv_tnt.xml#NOVO19.fr');
