# Reading an XMLTV feed against a bare QXmlStreamReader pass.
zapo_banc(banc_xmltv LIBS zapo_noyau)
# An update's reading of a realistic 10 MB feed for its 26 channels, with memory.
zapo_banc(banc_flux_26 LIBS zapo_noyau)
