//12/07/26 23:22:29
//0  
  0x00000000,    //RefReg
  0x00000000,    //IntgReg
  0x00000000,    //FracReg
  0x00000000,    //CPReg
//1  
  0x00000000,    //RefReg
  0x00000000,    //IntgReg
  0x00000000,    //FracReg
  0x00000000,    //CPReg
//2  
  0x00000000,    //RefReg
  0x00000000,    //IntgReg
  0x00000000,    //FracReg
  0x00000000,    //CPReg
//3  
  0x00000000,    //RefReg
  0x00000000,    //IntgReg
  0x00000000,    //FracReg
  0x00000000,    //CPReg
//4  
  0x00000000,    //RefReg
  0x00000000,    //IntgReg
  0x00000000,    //FracReg
  0x00000000,    //CPReg
//5  
  0x00000000,    //RefReg
  0x00000000,    //IntgReg
  0x00000000,    //FracReg
  0x00000000,    //CPReg
//6  
  0x00000000,    //RefReg
  0x00000000,    //IntgReg
  0x00000000,    //FracReg
  0x00000000,    //CPReg
//7  
  0x00000000,    //RefReg
  0x00000000,    //IntgReg
  0x00000000,    //FracReg
  0x00000000,    //CPReg
