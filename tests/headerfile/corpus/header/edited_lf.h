//12/07/26 23:22:29 	
//0  12340MHz, std=10MHz, PD=5000000Hz, UpGain=127, DnGain=127, Offset=+0, HiK mode=On, SD seed=B29D08h, Mode=ModeA, frac_rstb=Enable, frac_bypass=Use 	
  0x04000004,    //RefReg 	
  0x06000018,    //IntgReg 	
  0x08ae147a,    //FracReg 	
  0x13407ffe,    //CPReg 	
//1  12350MHz, std=10MHz, PD=5000000Hz, UpGain=127, DnGain=127, Offset=+0, HiK mode=On, SD seed=B29D08h, Mode=ModeA, frac_rstb=Enable, frac_bypass=Use 	
  0x04000004,    //RefReg 	
  0x06000018,    //IntgReg 	
  0x08b33334,    //FracReg 	
  0x13407ffe,    //CPReg 	
//2  12360MHz, std=10MHz, PD=5000000Hz, UpGain=127, DnGain=127, Offset=+0, HiK mode=On, SD seed=B29D08h, Mode=ModeA, frac_rstb=Enable, frac_bypass=Use 	
  0x04000004,    //RefReg 	
  0x06000018,    //IntgReg 	
  0x08b851ec,    //FracReg 	
  0x13407ffe,    //CPReg 	
//3  ã«î≠ ÇoÇcÅÅ5MHz Å‡ -10
  0x04000004,    //RefReg 	
  0x06000018,    //IntgReg 	
  0x08bdb22e,    //FracReg 	
  0x13407ffe,    //CPReg 	
//4  12400MHz, std=10MHz, PD=10000000Hz, UpGain=127, DnGain=127, Offset=+0, HiK mode=On, SD seed=B29D08h, Mode=ModeA, frac_rstb=Enable, frac_bypass=Use 	
  0x04000002,    //RefReg 	
  0x0600000c,    //IntgReg 	
  0x08666666,    //FracReg 	
  0x13407ffe,    //CPReg 	
//5  12450MHz, std=10MHz, PD=10000000Hz, UpGain=64, DnGain=64, Offset=-8, HiK mode=Off, SD seed=B29D08h, Mode=ModeA, frac_rstb=Enable, frac_bypass=Use 	
  0x04000002,    //RefReg 	
  0x0600000c,    //IntgReg 	
  0x08733334,    //FracReg 	
  0x12844080,    //CPReg 	
//6  11000MHz, std=10MHz, PD=5000000Hz, UpGain=127, DnGain=127, Offset=+0, HiK mode=On, SD seed=B29D08h, Mode=ModeA, frac_rstb=Enable, frac_bypass=Use 	
  0x04000004,    //RefReg 	
  0x06000016,    //IntgReg 	
  0x08000000,    //FracReg 	
  0x13407ffe,    //CPReg 	
//7  12800MHz, std=10MHz, PD=5000000Hz, UpGain=127, DnGain=127, Offset=+0, HiK mode=On, SD seed=B29D08h, Mode=ModeA, frac_rstb=Enable, frac_bypass=Use 	
  0x04000004,    //RefReg 	
  0x06000014,    //IntgReg 	
  0x08000000,    //FracReg 	
  0x13407ffe,    //CPReg 	

