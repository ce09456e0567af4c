int sp3;
