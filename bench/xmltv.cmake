# Reading an XMLTV feed against a bare QXmlStreamReader pass.
zapo_banc(banc_xmltv LIBS zapo_core)
