function data_file = fashion_mnist_file(data_file, caller)
% FASHION_MNIST_FILE  The image file an example program reads: DATA_FILE,
% or when it is empty the Fashion-MNIST test images of Debian's
% dataset-fashion-mnist package; refused as CALLER:noData when there is no
% such file.
  if isempty(data_file)
    data_file = '/usr/share/datasets/fashion-mnist/t10k-images-idx3-ubyte.gz';
  end
  if ~ischar(data_file) || ~exist(data_file, 'file')
    error([caller ':noData'], ...
          'no image file %s; install the dataset-fashion-mnist package or pass data_file', ...
          char(data_file));
  end
end
