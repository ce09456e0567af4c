     2.01           GLONASS NAV DATA                        RINEX VERSION / TYPE
orbgen 1.0          ORBIKA TEST         01-JUL-12 12:00     PGM / RUN BY / DATE 
Small hand-made GLONASS file around the 2012-07-01 leap     COMMENT             
  2012     6    30  -0.1234E+412    D-07                    CORR TO SYSTEM TIME 
    16                                                      LEAP SECONDS        
                                                            END OF HEADER       
 1 12  6 30 23 45  0.0-0.120000000000D-04 0.909494701773D-12 0.270000000000D+04
    0.180450601454D+04-0.315291977593D+01 0.186264514923D-08 0.000000000000D+00
    0.108344211999D+05-0.125320845444D-01-0.931322574615D-09-0.200000000000D+01
    0.230243170432D+05 0.253003838097D+00 0.279396772385D-08 0.200000000000D+01
